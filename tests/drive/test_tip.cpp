#include "test_tip.h"

#include "framework/application.h"
#include "framework/painter.h"

namespace nuv::test {
namespace {

constexpr uint32_t kDrawFlags =
    fw::DT_WORDBREAK | fw::DT_EXPANDTABS | fw::DT_EXTERNALLEADING | fw::DT_NOPREFIX;

}  // namespace

constinit const fw::RuntimeClass TestTip::kClass{"BalloonTip", nullptr};

const fw::RuntimeClass& TestTip::GetRuntimeClass() const {
  return kClass;
}

void TestTip::Pop(fw::Point screen, std::string text) {
  fw::Application* app = fw::Application::Current();
  if (app == nullptr || text.empty())
    return;
  text_ = std::move(text);
  const fw::Rect extent = app->backend().MeasureText(
      app->backend().StatusFont(), text_, {0, 0, kWidth, 0}, kDrawFlags | fw::DT_CALCRECT);
  fw::Rect placed{screen.x, screen.y, screen.x + extent.Width() + kMargin,
                  screen.y + extent.Height() + kMargin};
  const int screen_width = app->backend().ScreenSize().cx;
  if (placed.right > screen_width)
    placed = placed.Offset(screen_width - placed.right, 0);
  ShowAt(placed);
}

void TestTip::OnPaint(fw::Painter& painter) {
  fw::Application* app = fw::Application::Current();
  if (app == nullptr || text_.empty())
    return;
  const fw::Rect client = GetClientRect();
  painter.FillRect(client, fw::RGB(187, 247, 172));
  painter.FrameRect(client);
  fw::Rect text_rect{client.left + 2, client.top + 2, client.right - 3, client.bottom - 3};
  painter.DrawText(text_, text_rect, kDrawFlags, app->backend().StatusFont(),
                   app->backend().GetSysColour(fw::SystemColour::TooltipText));
}

}  // namespace nuv::test
