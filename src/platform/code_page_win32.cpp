// The code page's conversions through the Win32 API, without best-fit
// mappings: a character the code page has no bytes for fails instead of
// becoming a look-alike or a question mark.
#include <windows.h>

#include <climits>

#include "platform/code_page.h"

namespace nuv::platform {
namespace {

bool IsUtf8(unsigned number) {
  return number == CP_UTF8;
}

}  // namespace

std::optional<std::u16string> CodePage::ToUtf16(std::string_view text) const {
  if (text.empty())
    return std::u16string();
  if (text.size() > INT_MAX)
    return std::nullopt;
  const int size = static_cast<int>(text.size());
  const int wide =
      MultiByteToWideChar(number_, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
  if (wide <= 0)
    return std::nullopt;
  std::wstring out(static_cast<size_t>(wide), L'\0');
  if (MultiByteToWideChar(number_, MB_ERR_INVALID_CHARS, text.data(), size, out.data(), wide) !=
      wide)
    return std::nullopt;
  return std::u16string(out.begin(), out.end());
}

std::optional<std::string> CodePage::FromUtf16(std::u16string_view text) const {
  if (text.empty())
    return std::string();
  if (text.size() > INT_MAX)
    return std::nullopt;
  const std::wstring wide(text.begin(), text.end());
  const int size = static_cast<int>(wide.size());
  // UTF-8 takes neither flag nor default character; it fails on a lone
  // surrogate instead.
  const DWORD flags = IsUtf8(number_) ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  BOOL used_default = FALSE;
  BOOL* used_default_out = IsUtf8(number_) ? nullptr : &used_default;
  const int bytes =
      WideCharToMultiByte(number_, flags, wide.data(), size, nullptr, 0, nullptr, used_default_out);
  if (bytes <= 0 || used_default)
    return std::nullopt;
  std::string out(static_cast<size_t>(bytes), '\0');
  if (WideCharToMultiByte(number_, flags, wide.data(), size, out.data(), bytes, nullptr,
                          used_default_out) != bytes ||
      used_default)
    return std::nullopt;
  return out;
}

}  // namespace nuv::platform
