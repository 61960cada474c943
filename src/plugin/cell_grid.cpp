#include "plugin/cell_grid.h"

#include <algorithm>

namespace nuv::plugin {

CellGrid::AreaResult CellGrid::MakeArea(fw::Window& form) {
  if (area_.IsWindow())
    return AreaResult::kReady;
  const fw::Window* group = form.GetDlgItem(group_id_);
  const fw::Window* label = form.GetDlgItem(first_label_id_);
  if (group == nullptr || label == nullptr)
    return AreaResult::kNoArea;
  // Inside the box's frame lines, from the first row's top; as many whole
  // rows high as fit above the box's bottom line.
  const fw::Rect box = group->rect();
  const int top = label->rect().top + kRowHeight;
  const int rows = std::max(0, (box.bottom - 1 - top) / kRowHeight);
  if (!area_.Create({box.left + 1, top, box.right - 1, top + rows * kRowHeight}, &form, kAreaId))
    return AreaResult::kNoArea;
  area_.SetFont(form.GetFont());
  area_.SetLineHeight(kRowHeight);
  return AreaResult::kReady;
}

void CellGrid::FillRow(fw::Window& form, size_t row, const image::GridRow& values) {
  if (row >= kRows || MakeArea(form) != AreaResult::kReady)
    return;
  const image::GridCellTexts texts = image::FormatGridRow(values);
  const int below = kRowHeight * static_cast<int>(row + 1);
  for (size_t column = 0; column < kColumns; ++column) {
    fw::WindowRef<>& slot = slots_[row][column];
    if (slot)
      continue;
    const fw::Window* label = form.GetDlgItem(first_label_id_ + static_cast<uint32_t>(column));
    if (label == nullptr)
      continue;
    fw::Rect place = label->GetWindowRect();
    place.top += below;
    place.bottom = place.top + kRowHeight;
    // Where the row lies in the contents, wherever they are scrolled to.
    const fw::Rect in_area = area_.ScreenToClient(place).Offset(0, -area_.scroll_pos());
    fw::Window* cell = area_.CreateControl(fw::WindowKind::Static, texts[column], kCellStyle,
                                           in_area, CellId(row, column));
    if (cell == nullptr)
      continue;
    cell->SetFont(form.GetFont());
    slot = fw::WindowRef<>(cell);
    area_.SetContentHeight(std::max(area_.content_height(), in_area.bottom + area_.scroll_pos()));
  }
}

void CellGrid::Clear() {
  for (auto& row : slots_) {
    for (fw::WindowRef<>& slot : row)
      slot.reset();
  }
  // The cells go with the area.
  area_.DestroyWindow();
}

fw::Window* CellGrid::Cell(size_t row, size_t column) const {
  if (row >= kRows || column >= kColumns)
    return nullptr;
  return slots_[row][column].get();
}

}  // namespace nuv::plugin
