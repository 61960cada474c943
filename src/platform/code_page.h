#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/result.h"

namespace nuv::platform {

// The ANSI code page: how the 8-bit texts of images and scripts (block and
// item names, text values, titles, descriptions, file names typed into a
// sheet) read as the UTF-16 texts of a spreadsheet, and back.
//
// Conversions are exact or fail: a byte sequence that is no character of
// the code page, or a character that the code page has no bytes for, gives
// nothing, never a replacement character or a look-alike. Windows-1252
// gives every byte a character of its own (the five bytes it leaves
// undefined, 0x81, 0x8D, 0x8F, 0x90 and 0x9D, become U+0081, U+008D,
// U+008F, U+0090 and U+009D, as on Windows), so there every 8-bit text
// comes back byte for byte.
//
// The conversions are the operating system's: iconv here; on Windows,
// MultiByteToWideChar and WideCharToMultiByte without best-fit mappings.
class CodePage {
 public:
  // Windows-1252, the code page when none is chosen.
  CodePage() = default;

  // The code page with that Windows number, when it is one the tool
  // converts with: 1252, 936, 932, 949, 950, 1250 to 1258 and 65001 (UTF-8).
  static std::optional<CodePage> FromNumber(unsigned number);

  // The code page that the environment variable NUV_CODEPAGE names by its
  // number, or Windows-1252 when it is not set. Refused for a value that
  // names no code page of the list above, with a sentence for the user
  // that says so and lists the ones it takes.
  static Result<CodePage> FromEnvironment();

  unsigned number() const { return number_; }

  std::optional<std::u16string> ToUtf16(std::string_view text) const;
  std::optional<std::string> FromUtf16(std::u16string_view text) const;

  // The length of the longest start of `text`, a text of this code page, of
  // at most `bytes` bytes that does not end inside a character.
  std::size_t WholeCharacters(std::string_view text, std::size_t bytes) const;

 private:
  explicit CodePage(unsigned number) : number_(number) {}

  unsigned number_ = 1252;
};

}  // namespace nuv::platform
