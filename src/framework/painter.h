#pragma once

#include <cstdint>
#include <string_view>

#include "framework/constants.h"
#include "framework/font.h"
#include "framework/geometry.h"

namespace nuv::fw {

// What a custom-painted window draws with, in its client coordinates. The
// backend provides it while the window paints.
class Painter {
 public:
  virtual ~Painter() = default;

  virtual void FillRect(const Rect& rect, ColorRef colour) = 0;
  // A one-pixel black frame just inside `rect`, nothing filled.
  virtual void FrameRect(const Rect& rect) = 0;
  // Draws `text` in `rect` with the Win32 DrawText `flags` (DT_WORDBREAK,
  // DT_EXPANDTABS, DT_EXTERNALLEADING, DT_NOPREFIX ...) on a transparent
  // background. With DT_CALCRECT nothing is drawn and `rect` is set to the
  // text's extent instead. Returns the text's height.
  virtual int DrawText(std::string_view text, Rect& rect, uint32_t flags, const Font& font,
                       ColorRef colour) = 0;
};

}  // namespace nuv::fw
