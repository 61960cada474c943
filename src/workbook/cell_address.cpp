#include "workbook/cell_address.h"

#include <algorithm>

namespace nuv::workbook {
namespace {

std::optional<std::pair<std::uint32_t, std::uint32_t>> ParseCell(std::u16string_view text) {
  std::size_t i = 0;
  if (i < text.size() && text[i] == u'$')
    ++i;
  std::uint32_t column = 0;
  std::size_t letters = 0;
  for (; i < text.size() && letters < 4; ++i, ++letters) {
    char16_t c = text[i];
    if (c >= u'a' && c <= u'z')
      c = static_cast<char16_t>(c - 32);
    if (c < u'A' || c > u'Z')
      break;
    column = column * 26 + static_cast<std::uint32_t>(c - u'A' + 1);
  }
  if (letters == 0 || column > kMaxColumns)
    return std::nullopt;
  if (i < text.size() && text[i] == u'$')
    ++i;
  std::uint32_t row = 0;
  std::size_t digits = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9' && digits < 8; ++i, ++digits)
    row = row * 10 + static_cast<std::uint32_t>(text[i] - u'0');
  if (digits == 0 || i != text.size() || row < 1 || row > kMaxRows)
    return std::nullopt;
  return std::make_pair(row, column);
}

}  // namespace

std::optional<CellRect> ParseA1Range(std::u16string_view text) {
  std::size_t colon = text.find(u':');
  auto first = ParseCell(text.substr(0, colon));
  if (!first)
    return std::nullopt;
  auto second = first;
  if (colon != std::u16string_view::npos) {
    second = ParseCell(text.substr(colon + 1));
    if (!second)
      return std::nullopt;
  }
  return CellRect{std::min(first->first, second->first), std::min(first->second, second->second),
                  std::max(first->first, second->first), std::max(first->second, second->second)};
}

}  // namespace nuv::workbook
