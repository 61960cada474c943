#pragma once

#include <string>
#include <string_view>

#include "platform/code_page.h"

namespace nuv::workbook {

// Text crosses the automation interface as UTF-16. The tool's own texts
// (messages, sheet names, paths of its files) are UTF-8; bytes that are not
// valid UTF-8, and unpaired surrogates, become U+FFFD, so these conversions
// never fail. The 8-bit texts of images and scripts are in the ANSI code
// page instead and convert through platform::CodePage.
std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

// An 8-bit text of an image or a script as a message shows it: read in the
// code page, or, where the code page reads no character, with its bytes
// outside ASCII written as \xNN.
std::string CodePageTextForMessage(const platform::CodePage& code_page, std::string_view text);

// Sheet names match without regard to case, as the spreadsheet application
// does: letters of the Latin, Greek and Cyrillic alphabets compare equal to
// their capitals.
bool SameTextIgnoringCase(std::u16string_view a, std::u16string_view b);

}  // namespace nuv::workbook
