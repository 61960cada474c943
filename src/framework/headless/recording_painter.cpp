#include "framework/headless/recording_painter.h"

#include "framework/headless/fixed_font_metrics.h"

namespace nuv::fw::headless {

Rect MeasureWithFixedFont(std::string_view text, const Rect& bounds, uint32_t flags) {
  const TextLayout layout = LayoutText(text, bounds.Width(), flags);
  return {bounds.left, bounds.top, bounds.left + layout.width, bounds.top + layout.height};
}

void RecordingPainter::FillRect(const Rect& rect, ColorRef colour) {
  items_.push_back({Item::Kind::Fill, rect, colour, {}, 0});
}

void RecordingPainter::FrameRect(const Rect& rect) {
  items_.push_back({Item::Kind::Frame, rect, RGB(0, 0, 0), {}, 0});
}

int RecordingPainter::DrawText(std::string_view text, Rect& rect, uint32_t flags, const Font&,
                               ColorRef colour) {
  const Rect extent = MeasureWithFixedFont(text, rect, flags);
  if ((flags & DT_CALCRECT) != 0) {
    rect = extent;
    return extent.Height();
  }
  items_.push_back({Item::Kind::Text, rect, colour, std::string(text), flags});
  return extent.Height();
}

std::string RecordingPainter::DrawnText() const {
  std::string out;
  bool first = true;
  for (const Item& item : items_) {
    if (item.kind != Item::Kind::Text)
      continue;
    if (!first)
      out += '\n';
    out += item.text;
    first = false;
  }
  return out;
}

}  // namespace nuv::fw::headless
