#include "platform/profile.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <vector>

#include "platform/input_file.h"

namespace nuv::platform {
namespace {

std::string_view Trim(std::string_view text) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && blank(text.back()))
    text.remove_suffix(1);
  return text;
}

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

std::string CutToBuffer(std::string_view text, std::size_t buffer_size) {
  if (buffer_size == 0)
    return {};
  return std::string(text.substr(0, std::min(text.size(), buffer_size - 1)));
}

}  // namespace

std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view default_value, std::size_t buffer_size,
                                    const std::filesystem::path& file) {
  const Result<std::vector<uint8_t>> bytes = ReadWholeFile(file);
  std::string_view default_text = default_value;
  while (!default_text.empty() && default_text.back() == ' ')
    default_text.remove_suffix(1);
  const std::string fallback = CutToBuffer(default_text, buffer_size);
  if (!bytes.ok())
    return fallback;

  bool in_section = false;
  std::string_view rest(reinterpret_cast<const char*>(bytes.value().data()), bytes.value().size());
  while (!rest.empty()) {
    const size_t end = rest.find('\n');
    std::string_view text = Trim(rest.substr(0, end));
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    if (text.empty() || text.front() == ';')
      continue;
    if (text.front() == '[') {
      size_t close = text.find(']');
      std::string_view name =
          close == std::string_view::npos ? text.substr(1) : text.substr(1, close - 1);
      in_section = SameName(Trim(name), section);
      continue;
    }
    if (!in_section)
      continue;
    size_t equals = text.find('=');
    if (equals == std::string_view::npos)
      continue;
    if (!SameName(Trim(text.substr(0, equals)), key))
      continue;
    std::string_view value = Trim(text.substr(equals + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
      value = value.substr(1, value.size() - 2);
    return CutToBuffer(value, buffer_size);
  }
  return fallback;
}

}  // namespace nuv::platform
