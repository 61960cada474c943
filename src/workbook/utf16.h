#pragma once

#include <string>
#include <string_view>

namespace nuv::workbook {

// Text crosses the automation interface as UTF-16; the tool's own 8-bit text
// is UTF-8 here (the ANSI code page of the original platform). Bytes that are
// not valid UTF-8, and unpaired surrogates, become U+FFFD, so no conversion
// ever fails.
std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

// Sheet names match without regard to case, as the spreadsheet application
// does: letters of the Latin, Greek and Cyrillic alphabets compare equal to
// their capitals.
bool SameTextIgnoringCase(std::u16string_view a, std::u16string_view b);

}  // namespace nuv::workbook
