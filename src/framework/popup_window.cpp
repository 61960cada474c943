#include "framework/popup_window.h"

namespace nuv::fw {

constinit const RuntimeClass PopupWindow::kClass{"PopupWindow", nullptr};

PopupWindow::~PopupWindow() {
  DestroyWindow();
}

const RuntimeClass& PopupWindow::GetRuntimeClass() const {
  return kClass;
}

bool PopupWindow::Create(Window* owner) {
  return CreateEx(WS_EX_TOPMOST, WindowKind::Popup, "", WS_POPUP, {0, 0, 10, 10}, owner, 0);
}

void PopupWindow::ShowAt(const Rect& screen_rect) {
  Hide();
  SetWindowPos(screen_rect, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOCOPYBITS);
}

}  // namespace nuv::fw
