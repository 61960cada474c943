#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "framework/window.h"
#include "framework/window_ref.h"
#include "image/grid_row.h"

namespace nuv::plugin {

// The block list of the main form: 64 rows of static text cells, one per
// column, made at run time below the six column labels and destroyed by
// Cancel. A slot that holds a cell is never filled again.
class CellGrid {
 public:
  static constexpr size_t kRows = image::kGridRows;
  static constexpr size_t kColumns = image::kGridColumns;
  static constexpr int kRowHeight = 21;
  // Visible child, centred text, sunken edge.
  static constexpr uint32_t kCellStyle = 0x50001001;
  static constexpr uint32_t kFirstCellId = 10000;

  // The control id of the cell of row `row` and column `column`.
  static constexpr uint32_t CellId(size_t row, size_t column) {
    return kFirstCellId + static_cast<uint32_t>(10 * row + column);
  }

  CellGrid() = default;
  CellGrid(const CellGrid&) = delete;
  CellGrid& operator=(const CellGrid&) = delete;

  // Puts one row's texts into the cells of row `row` of `form`, each cell
  // under the column label `first_label_id` + column, moved down by 21
  // pixels per row and 21 pixels high, with the form's font. Rows past the
  // grid and slots that hold a cell already are passed over.
  void FillRow(fw::Window& form, uint32_t first_label_id, size_t row, const image::GridRow& texts);

  // Destroys every cell and empties every slot.
  void Clear();

  // The cell in a slot, or null when the slot is empty.
  fw::Window* Cell(size_t row, size_t column) const;

 private:
  std::array<std::array<fw::WindowRef<>, kColumns>, kRows> slots_{};
};

}  // namespace nuv::plugin
