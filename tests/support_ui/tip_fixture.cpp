#include "tip_fixture.h"

#include "framework/user_input.h"

namespace nuv::test {

TipTest::TipTest()
    : app_("nuvhost", std::make_unique<FontBackend>()),
      backend_(static_cast<FontBackend&>(app_.backend())) {}

void TipTest::MoveTo(const fw::Window& window, fw::Point client) {
  fw::UserMoveMouse(window.ClientToScreen(client));
}

std::string TipTest::ShownText(const BalloonTip& tip) const {
  return tip.IsWindowVisible() ? backend_.headless().ShownText(tip) : std::string();
}

}  // namespace nuv::test
