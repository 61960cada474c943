#pragma once

#include <string_view>

#include "framework/driven_backend.h"

namespace nuv::fw::headless {

using Event = DrivenEvent;

// The in-memory backend: an 800 x 600 screen with the fixed font metrics,
// and no windowing system at all: the driven backend's answers, virtual
// clock and recording painter are all there is.
class HeadlessBackend final : public DrivenBackend {
 public:
  static constexpr Size kScreen{800, 600};

  // --- Backend ---
  Size ScreenSize() const override { return kScreen; }
  Point CursorPos() const override { return cursor_; }
  void SetCursorPos(Point screen) override { cursor_ = screen; }
  Rect MeasureText(const Font& font, std::string_view text, const Rect& bounds,
                   uint32_t flags) const override;
  Font StatusFont() const override;
  ColorRef GetSysColour(SystemColour which) const override;

 private:
  Point cursor_;
};

}  // namespace nuv::fw::headless
