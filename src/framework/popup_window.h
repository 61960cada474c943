#pragma once

#include "framework/window.h"

namespace nuv::fw {

// A custom-painted pop-up that never takes the focus: top-most, owned by a
// window, hidden when made. It paints itself in OnPaint whenever it is shown
// or invalidated; the backend measures text for it.
class PopupWindow : public Window {
 public:
  ~PopupWindow() override;

  static const RuntimeClass kClass;
  const RuntimeClass& GetRuntimeClass() const override;

  // Creates the hidden pop-up (WS_POPUP, WS_EX_TOPMOST, 10 x 10 at the
  // origin) owned by `owner`.
  bool Create(Window* owner);
  // Hides the pop-up, then moves, sizes and shows it in one step without
  // activating it or changing its place among the windows.
  void ShowAt(const Rect& screen_rect);
  void Hide() { ShowWindow(SW_HIDE); }
};

}  // namespace nuv::fw
