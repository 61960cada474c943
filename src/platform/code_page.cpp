#include "platform/code_page.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdlib>

namespace nuv::platform {
namespace {

constexpr std::array<unsigned, 14> kKnownCodePages = {1252, 936,  932,  949,  950,  1250, 1251,
                                                      1253, 1254, 1255, 1256, 1257, 1258, 65001};

// The longest character of any of them: four bytes of UTF-8.
constexpr std::size_t kLongestCharacter = 4;

}  // namespace

std::optional<CodePage> CodePage::FromNumber(unsigned number) {
  if (std::find(kKnownCodePages.begin(), kKnownCodePages.end(), number) == kKnownCodePages.end())
    return std::nullopt;
  return CodePage(number);
}

Result<CodePage> CodePage::FromEnvironment() {
  const char* value = std::getenv("NUV_CODEPAGE");
  if (value == nullptr)
    return CodePage();
  const std::string_view text(value);
  unsigned number = 0;
  const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (status == std::errc() && end == text.data() + text.size())
    if (std::optional<CodePage> known = FromNumber(number))
      return *known;
  return Failure{
      "NUV_CODEPAGE is \"" + std::string(text) +
      "\", which is not the number of a code page this tool converts texts with: it takes "
      "1252, 936, 932, 949, 950, 1250 to 1258 or 65001 (UTF-8), and 1252 when it is not set."};
}

std::size_t CodePage::WholeCharacters(std::string_view text, std::size_t bytes) const {
  if (bytes >= text.size())
    return text.size();
  // Every start that ends between two characters converts; one that ends
  // inside a character does not.
  const std::size_t shortest = bytes > kLongestCharacter ? bytes - kLongestCharacter : 0;
  for (std::size_t length = bytes; length > shortest; --length)
    if (ToUtf16(text.substr(0, length)))
      return length;
  return shortest;
}

}  // namespace nuv::platform
