#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "framework/scroll_area.h"
#include "framework/window.h"
#include "framework/window_ref.h"
#include "image/grid_row.h"

namespace nuv::plugin {

// The block list of the main form: 64 rows of static text cells, one per
// column, made at run time below the six column labels and destroyed by
// Cancel. A slot that holds a cell is never filled again.
//
// The rows lie in a scrolling area inside the group box that frames the
// list, from the first row's top down to the last whole row that fits in
// the box. Rows that do not fit there scroll into view (one row per arrow
// of its scroll bar) instead of running over the controls below the box.
class CellGrid {
 public:
  static constexpr size_t kRows = image::kGridRows;
  static constexpr size_t kColumns = image::kGridColumns;
  static constexpr int kRowHeight = 21;
  // Visible child, centred text, sunken edge.
  static constexpr uint32_t kCellStyle = 0x50001001;
  static constexpr uint32_t kFirstCellId = 10000;
  // The scrolling area, past every cell's id.
  static constexpr uint32_t kAreaId = 10999;

  // The control id of the cell of row `row` and column `column`.
  static constexpr uint32_t CellId(size_t row, size_t column) {
    return kFirstCellId + static_cast<uint32_t>(10 * row + column);
  }

  // A grid inside the group box `group_id` of its form, under the column
  // labels `first_label_id` onwards, one per column.
  CellGrid(uint32_t group_id, uint32_t first_label_id)
      : group_id_(group_id), first_label_id_(first_label_id) {}
  CellGrid(const CellGrid&) = delete;
  CellGrid& operator=(const CellGrid&) = delete;

  // Puts one block's values, formatted as the grid shows them, into the
  // cells of row `row` of `form`, each cell under its column label, moved
  // down by 21 pixels per row and 21 pixels high, with the form's font. Rows
  // past the grid and slots that hold a cell already are passed over; so is
  // everything when the form lacks the group box or the first label.
  void FillRow(fw::Window& form, size_t row, const image::GridRow& values);

  // Destroys every cell and the area that holds them, and empties every
  // slot.
  void Clear();

  // The cell in a slot, or null when the slot is empty.
  fw::Window* Cell(size_t row, size_t column) const;
  // The area the cells lie in; not created before the first row is filled.
  const fw::ScrollArea& area() const { return area_; }

 private:
  // Makes the area when there is none; kNoArea when the form lacks the
  // group box or the first label, or the area cannot be made.
  enum class AreaResult { kReady, kNoArea };
  [[nodiscard]] AreaResult MakeArea(fw::Window& form);

  uint32_t group_id_;
  uint32_t first_label_id_;
  fw::ScrollArea area_;
  std::array<std::array<fw::WindowRef<>, kColumns>, kRows> slots_{};
};

}  // namespace nuv::plugin
