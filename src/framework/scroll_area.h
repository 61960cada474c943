#pragma once

#include <cstdint>

#include "framework/window.h"

namespace nuv::fw {

// A child window that shows part of a taller column of controls and scrolls
// it vertically, as a child window with a vertical scroll bar does on
// Windows. Its controls are its own children, laid out in its client
// coordinates; scrolling moves them up or down, so that every rectangle the
// framework holds is where the control is seen. What lies outside the
// area's client rectangle is not seen and takes no input: the controls
// around the area stay uncovered however tall its contents grow.
//
// While the contents are taller than the area, the backend shows a
// vertical scroll bar at its right edge (kept in step through
// Change::Scroll) and hands the user's moves of it, and of the mouse wheel
// over the area, to ScrollTo.
class ScrollArea : public Window {
 public:
  ~ScrollArea() override;

  static const RuntimeClass kClass;
  const RuntimeClass& GetRuntimeClass() const override;

  // Creates the area, visible and unscrolled, with no contents, as a child
  // of `parent` at `rect` (pixels of the parent's client area).
  bool Create(const Rect& rect, Window* parent, uint32_t id);

  // The height of the contents in pixels, measured from the area's top
  // while unscrolled. A position past the new end moves back to it.
  void SetContentHeight(int height);
  int content_height() const { return content_height_; }
  // How far one press of a scroll-bar arrow moves the contents.
  void SetLineHeight(int pixels);
  int line_height() const { return line_height_; }

  // How far the contents are scrolled up: from 0 to ScrollLimit().
  int scroll_pos() const { return scroll_pos_; }
  // How much taller the contents are than the area; 0 when they fit.
  int ScrollLimit() const;
  // The contents do not fit: the area shows a scroll bar.
  bool CanScroll() const { return ScrollLimit() > 0; }
  // Scrolls the contents up to `pos` (kept within 0 to ScrollLimit()),
  // moving every child by the difference.
  void ScrollTo(int pos);

 private:
  int content_height_ = 0;
  int line_height_ = 1;
  int scroll_pos_ = 0;
};

}  // namespace nuv::fw
