#pragma once

#include <optional>
#include <string>
#include <vector>

#include "framework/backend.h"
#include "framework/headless/headless_backend.h"

namespace nuv::plugin::test {

// The text of every box the headless backend showed, with its caption:
// "caption: text".
inline std::vector<std::string> BoxTexts(const fw::headless::HeadlessBackend& backend) {
  std::vector<std::string> boxes;
  for (const fw::headless::Event& event : backend.events())
    if (event.type == fw::headless::Event::Type::BoxShown)
      boxes.push_back(event.caption + ": " + event.text);
  return boxes;
}

// The headless backend, with every file dialog request kept, so that a
// test can see what the form asked the system's dialogs for, and a
// status-bar font that can change, as it does when the user changes the
// system's settings.
class RecordingBackend final : public fw::Backend {
 public:
  fw::headless::HeadlessBackend& headless() { return inner_; }
  const std::vector<fw::FileDialogRequest>& file_dialogs() const { return file_dialogs_; }
  std::vector<std::string> Boxes() const { return BoxTexts(inner_); }
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
    file_dialogs_.push_back(request);
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
  std::vector<fw::FileDialogRequest> file_dialogs_;
  std::optional<fw::Font> status_font_;
};

}  // namespace nuv::plugin::test
