#include "framework/headless/headless_backend.h"

#include "framework/headless/recording_painter.h"

namespace nuv::fw::headless {

Rect HeadlessBackend::MeasureText(const Font&, std::string_view text, const Rect& bounds,
                                  uint32_t flags) const {
  return MeasureWithFixedFont(text, bounds, flags);
}

Font HeadlessBackend::StatusFont() const {
  return Font{"Segoe UI", 9};
}

ColorRef HeadlessBackend::GetSysColour(SystemColour which) const {
  switch (which) {
    case SystemColour::TooltipBackground:
      return RGB(255, 255, 225);
    case SystemColour::TooltipText:
      return RGB(0, 0, 0);
  }
  return RGB(0, 0, 0);
}

}  // namespace nuv::fw::headless
