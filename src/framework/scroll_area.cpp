#include "framework/scroll_area.h"

#include <algorithm>
#include <vector>

namespace nuv::fw {

constinit const RuntimeClass ScrollArea::kClass{"ScrollArea", nullptr};

ScrollArea::~ScrollArea() {
  DestroyWindow();
}

const RuntimeClass& ScrollArea::GetRuntimeClass() const {
  return kClass;
}

bool ScrollArea::Create(const Rect& rect, Window* parent, uint32_t id) {
  content_height_ = 0;
  scroll_pos_ = 0;
  return CreateEx(0, WindowKind::ScrollArea, "", WS_CHILD | WS_VISIBLE | WS_VSCROLL, rect, parent,
                  id);
}

void ScrollArea::SetContentHeight(int height) {
  content_height_ = std::max(0, height);
  if (scroll_pos_ > ScrollLimit())
    ScrollTo(ScrollLimit());  // tells the backend itself
  else
    Changed(Change::Scroll);
}

void ScrollArea::SetLineHeight(int pixels) {
  line_height_ = std::max(1, pixels);
  Changed(Change::Scroll);
}

int ScrollArea::ScrollLimit() const {
  return std::max(0, content_height_ - rect().Height());
}

void ScrollArea::ScrollTo(int pos) {
  const int wanted = std::clamp(pos, 0, ScrollLimit());
  const int delta = wanted - scroll_pos_;
  if (delta == 0)
    return;
  scroll_pos_ = wanted;
  // The backend hears of every move: walk a copy of the list.
  const std::vector<Window*> children = this->children();
  for (Window* child : children)
    child->MoveWindow(child->rect().Offset(0, -delta), false);
  Changed(Change::Scroll);
  Invalidate();
}

}  // namespace nuv::fw
