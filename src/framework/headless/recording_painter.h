#pragma once

#include <string>
#include <vector>

#include "framework/painter.h"

namespace nuv::fw::headless {

// Paints nothing and remembers what was drawn, in order, with the fixed font
// metrics for text.
class RecordingPainter final : public Painter {
 public:
  struct Item {
    enum class Kind { Fill, Frame, Text } kind;
    Rect rect;
    ColorRef colour = 0;
    std::string text;
    uint32_t flags = 0;
  };

  void FillRect(const Rect& rect, ColorRef colour) override;
  void FrameRect(const Rect& rect) override;
  int DrawText(std::string_view text, Rect& rect, uint32_t flags, const Font& font,
               ColorRef colour) override;

  const std::vector<Item>& items() const { return items_; }
  // The texts drawn, joined by line breaks.
  std::string DrawnText() const;

 private:
  std::vector<Item> items_;
};

// The rectangle DrawText with DT_CALCRECT gives for `text` in `bounds`.
Rect MeasureWithFixedFont(std::string_view text, const Rect& bounds, uint32_t flags);

}  // namespace nuv::fw::headless
