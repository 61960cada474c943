#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
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

// The cells of one sheet, stored row by row; rows and columns count from 1.
class CellGrid {
 public:
  // The cell, or null when nothing was ever put there.
  const Cell* Find(std::uint32_t row, std::uint32_t column) const {
    if (row < 1 || row > rows_.size() || column < 1 || column > rows_[row - 1].size())
      return nullptr;
    return &rows_[row - 1][column - 1];
  }
  // The cell, made on first use. Positions outside the grid raise
  // nuv::AutomationError (callers check them first and say why).
  Cell& At(std::uint32_t row, std::uint32_t column);

  // The smallest rectangle that holds every used cell; none for an unused
  // sheet.
  std::optional<CellRect> UsedRect() const;
  std::size_t CountUsed() const;

  // Calls visit(row, column, cell) for every used cell, row by row.
  template <typename Visit>
  void ForEachUsed(Visit&& visit) const {
    for (std::size_t r = 0; r < rows_.size(); ++r) {
      const std::vector<Cell>& row = rows_[r];
      for (std::size_t c = 0; c < row.size(); ++c) {
        if (row[c].used())
          visit(static_cast<std::uint32_t>(r + 1), static_cast<std::uint32_t>(c + 1), row[c]);
      }
    }
  }

 private:
  std::vector<std::vector<Cell>> rows_;
};

}  // namespace nuv::workbook
