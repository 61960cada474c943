#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "framework/application.h"
#include "framework/backend.h"
#include "framework/headless/headless_backend.h"
#include "framework/window.h"
#include "support/balloon_tip.h"
#include "tip_owner.h"

namespace nuv::test {

// The headless backend whose status-bar font can change, as it does when
// the user changes the system's settings.
class FontBackend final : public fw::Backend {
 public:
  fw::headless::HeadlessBackend& headless() { return inner_; }
  void SetStatusFont(fw::Font font) { status_font_ = std::move(font); }

  void WindowCreated(fw::Window& window) override { inner_.WindowCreated(window); }
  void WindowChanged(fw::Window& window, fw::Change what) override {
    inner_.WindowChanged(window, what);
  }
  void WindowDestroyed(fw::Window& window) override { inner_.WindowDestroyed(window); }
  void Invalidate(fw::Window& window) override { inner_.Invalidate(window); }
  int MessageBox(const fw::Window* owner, std::string_view caption, std::string_view text,
                 uint32_t type) override {
    return inner_.MessageBox(owner, caption, text, type);
  }
  std::optional<std::string> FileDialog(const fw::FileDialogRequest& request) override {
    return inner_.FileDialog(request);
  }
  void SetTimer(fw::Window& window, uint32_t id, uint32_t elapse_ms) override {
    inner_.SetTimer(window, id, elapse_ms);
  }
  bool KillTimer(fw::Window& window, uint32_t id) override { return inner_.KillTimer(window, id); }
  fw::Size ScreenSize() const override { return inner_.ScreenSize(); }
  fw::Point CursorPos() const override { return inner_.CursorPos(); }
  void SetCursorPos(fw::Point screen) override { inner_.SetCursorPos(screen); }
  fw::Rect MeasureText(const fw::Font& font, std::string_view text, const fw::Rect& bounds,
                       uint32_t flags) const override {
    return inner_.MeasureText(font, text, bounds, flags);
  }
  fw::Font StatusFont() const override { return status_font_.value_or(inner_.StatusFont()); }
  fw::ColorRef GetSysColour(fw::SystemColour which) const override {
    return inner_.GetSysColour(which);
  }

 private:
  fw::headless::HeadlessBackend inner_;
  std::optional<fw::Font> status_font_;
};

// A running application on the headless screen (800 x 600), torn down
// after each test.
class TipTest : public ::testing::Test {
 protected:
  TipTest();

  fw::headless::HeadlessBackend& headless() { return backend_.headless(); }
  // The user moves the mouse to a point of `window`'s client area.
  static void MoveTo(const fw::Window& window, fw::Point client);
  // Lets time pass on the virtual clock.
  void Wait(uint64_t ms) { headless().AdvanceClock(ms); }
  // The text the shown tip painted ("" when none is shown).
  std::string ShownText(const BalloonTip& tip) const;

  fw::Application app_;
  FontBackend& backend_;
};

}  // namespace nuv::test
