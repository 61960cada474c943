#include "workbook/cell_grid.h"

#include <algorithm>
#include <string>

#include "platform/errors.h"

namespace nuv::workbook {

const Cell* CellGrid::Find(std::uint32_t row, std::uint32_t column) const {
  auto found = rows_.find(row);
  if (found == rows_.end())
    return nullptr;
  auto at = FirstAtOrAfter(found->second, column);
  return at != found->second.end() && at->first == column ? &at->second : nullptr;
}

Cell& CellGrid::At(std::uint32_t row, std::uint32_t column) {
  if (row < 1 || row > kMaxRows || column < 1 || column > kMaxColumns) {
    throw AutomationError("Cell (row " + std::to_string(row) + ", column " +
                          std::to_string(column) + ") lies outside the sheet of " +
                          std::to_string(kMaxRows) + " rows and " + std::to_string(kMaxColumns) +
                          " columns.");
  }
  Row& cells = rows_[row];
  // Cells mostly come left to right: append without searching.
  if (cells.empty() || cells.back().first < column)
    return cells.emplace_back(column, Cell{}).second;
  auto at = FirstAtOrAfter(cells, column);
  if (at == cells.end() || at->first != column)
    at = cells.emplace(at, column, Cell{});
  return at->second;
}

std::optional<CellRect> CellGrid::UsedRect() const {
  std::optional<CellRect> rect;
  ForEachUsed([&](std::uint32_t row, std::uint32_t column, const Cell&) {
    if (!rect) {
      rect = CellRect{row, column, row, column};
      return;
    }
    rect->left = std::min(rect->left, column);
    rect->right = std::max(rect->right, column);
    rect->bottom = row;
  });
  return rect;
}

std::size_t CellGrid::CountUsed() const {
  std::size_t count = 0;
  ForEachUsed([&](std::uint32_t, std::uint32_t, const Cell&) { ++count; });
  return count;
}

}  // namespace nuv::workbook
