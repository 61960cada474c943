#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "workbook/variant.h"

namespace nuv::workbook {

// The grid of an Excel 97 worksheet, the largest an .xls file can hold.
inline constexpr std::uint32_t kMaxRows = 65536;
inline constexpr std::uint32_t kMaxColumns = 256;

// One cell: its value (VT_EMPTY, VT_R8, VT_BSTR, VT_BOOL or VT_ERROR), its
// fill as a colour index of the palette (1 to 56; 0 for none) and whether
// the value is the cached result of a formula.
struct Cell {
  Variant value;
  std::uint8_t fill = 0;
  bool formula = false;

  // A cell is used when it holds a value or a fill, as the spreadsheet
  // counts it for the used range.
  bool used() const { return !value.IsEmpty() || fill != 0; }
};

// A rectangle of cells, rows and columns counted from 1, corners included.
struct CellRect {
  std::uint32_t top = 1, left = 1, bottom = 1, right = 1;
  std::uint32_t rows() const { return bottom - top + 1; }
  std::uint32_t columns() const { return right - left + 1; }
  std::size_t count() const { return static_cast<std::size_t>(rows()) * columns(); }
  friend bool operator==(const CellRect&, const CellRect&) = default;
};

// The cells of one sheet; rows and columns count from 1. Only cells that
// were put somewhere take memory, so a sheet with a few far-away cells (or a
// hostile file that names them) stays small.
class CellGrid {
 public:
  // The cell, or null when nothing was ever put there.
  const Cell* Find(std::uint32_t row, std::uint32_t column) const;
  // The cell, made on first use. Positions outside the grid raise
  // nuv::AutomationError (callers check them first and say why).
  Cell& At(std::uint32_t row, std::uint32_t column);

  // The smallest rectangle that holds every used cell; none for an unused
  // sheet.
  std::optional<CellRect> UsedRect() const;
  std::size_t CountUsed() const;

  // Calls visit(row, column, cell) for every used cell, row by row and
  // within a row from left to right.
  template <typename Visit>
  void ForEachUsed(Visit&& visit) const {
    ForEachUsedIn(CellRect{1, 1, kMaxRows, kMaxColumns}, visit);
  }
  // The same for the used cells inside rect; cells outside it cost nothing.
  template <typename Visit>
  void ForEachUsedIn(const CellRect& rect, Visit&& visit) const {
    for (auto row = rows_.lower_bound(rect.top); row != rows_.end() && row->first <= rect.bottom;
         ++row) {
      const Row& cells = row->second;
      for (auto cell = FirstAtOrAfter(cells, rect.left);
           cell != cells.end() && cell->first <= rect.right; ++cell) {
        if (cell->second.used())
          visit(row->first, cell->first, cell->second);
      }
    }
  }

 private:
  // The cells of a row by column, in column order.
  using Row = std::vector<std::pair<std::uint32_t, Cell>>;
  std::map<std::uint32_t, Row> rows_;

  // The first entry of a row at or after column.
  template <typename Cells>
  static auto FirstAtOrAfter(Cells& cells, std::uint32_t column) -> decltype(cells.begin()) {
    return std::lower_bound(cells.begin(), cells.end(), column,
                            [](const auto& entry, std::uint32_t c) { return entry.first < c; });
  }
};

}  // namespace nuv::workbook
