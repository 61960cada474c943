#include "framework/user_input.h"

#include <algorithm>
#include <limits>
#include <string>

#include "framework/application.h"
#include "framework/combo_box.h"
#include "framework/scroll_area.h"
#include "framework/window.h"
#include "framework/window_ref.h"

namespace nuv::fw {
namespace {

void Send(Application& app, uint32_t message, Window& target, Point screen, uint32_t wparam = 0) {
  Msg msg;
  msg.message = message;
  msg.target = &target;
  msg.wparam = wparam;
  msg.screen = screen;
  msg.pt = target.ScreenToClient(screen);
  app.DispatchInput(msg);
}

}  // namespace

void UserClick(Window& control) {
  Application* app = Application::Current();
  if (app == nullptr || !control.IsWindow())
    return;
  app->RunCommand([&] {
    const Rect client = control.GetClientRect();
    const Point screen = control.ClientToScreen(Point{client.Width() / 2, client.Height() / 2});
    app->backend().SetCursorPos(screen);
    const WindowRef<> target(&control);
    Send(*app, WM_LBUTTONDOWN, control, screen);
    if (Window* still = target.get())
      Send(*app, WM_LBUTTONUP, *still, screen);
  });
}

void UserType(Window& edit, std::string_view text) {
  Application* app = Application::Current();
  if (app == nullptr || !edit.IsWindow())
    return;
  app->RunCommand([&] {
    if (edit.GetWindowText() == text)
      edit.NotifyParent(EN_CHANGE);
    else
      edit.SetWindowText(text);  // tells the parent itself
  });
}

void UserPick(ComboBox& combo, int index) {
  Application* app = Application::Current();
  if (app == nullptr || !combo.IsWindow())
    return;
  app->RunCommand([&] {
    combo.SetCurSel(index);
    combo.NotifyParent(CBN_SELCHANGE);
  });
}

void UserMoveMouse(Point screen) {
  Application* app = Application::Current();
  if (app == nullptr)
    return;
  app->RunCommand([&] {
    app->backend().SetCursorPos(screen);
    if (Window* target = app->WindowFromPoint(screen))
      Send(*app, WM_MOUSEMOVE, *target, screen);
  });
}

void UserScroll(ScrollArea& area, int lines) {
  Application* app = Application::Current();
  if (app == nullptr || !area.IsWindow())
    return;
  app->RunCommand([&] {
    // The area stops at its ends; a count of presses far beyond them must
    // not overflow on the way there.
    const long long wanted = area.scroll_pos() + static_cast<long long>(lines) * area.line_height();
    area.ScrollTo(static_cast<int>(std::clamp<long long>(wanted, std::numeric_limits<int>::min(),
                                                         std::numeric_limits<int>::max())));
  });
}

void UserPressKey(Window& target, uint32_t virtual_key) {
  Application* app = Application::Current();
  if (app == nullptr || !target.IsWindow())
    return;
  app->RunCommand([&] { Send(*app, WM_KEYDOWN, target, app->backend().CursorPos(), virtual_key); });
}

}  // namespace nuv::fw
