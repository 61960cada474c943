#include "plugin/cell_grid.h"

namespace nuv::plugin {

void CellGrid::FillRow(fw::Window& form, uint32_t first_label_id, size_t row,
                       const image::GridRow& texts) {
  if (row >= kRows)
    return;
  const int below = kRowHeight * static_cast<int>(row + 1);
  for (size_t column = 0; column < kColumns; ++column) {
    fw::WindowRef<>& slot = slots_[row][column];
    if (slot)
      continue;
    const fw::Window* label = form.GetDlgItem(first_label_id + static_cast<uint32_t>(column));
    if (label == nullptr)
      continue;
    fw::Rect place = label->GetWindowRect();
    place.top += below;
    place.bottom = place.top + kRowHeight;
    fw::Window* cell = form.CreateControl(fw::WindowKind::Static, texts.cells[column], kCellStyle,
                                          form.ScreenToClient(place), CellId(row, column));
    if (cell == nullptr)
      continue;
    cell->SetFont(form.GetFont());
    slot = fw::WindowRef<>(cell);
  }
}

void CellGrid::Clear() {
  for (auto& row : slots_) {
    for (fw::WindowRef<>& slot : row) {
      if (fw::Window* cell = slot.get())
        cell->DestroyWindow();
      slot.reset();
    }
  }
}

fw::Window* CellGrid::Cell(size_t row, size_t column) const {
  if (row >= kRows || column >= kColumns)
    return nullptr;
  return slots_[row][column].get();
}

}  // namespace nuv::plugin
