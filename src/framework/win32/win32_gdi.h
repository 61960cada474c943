#pragma once

#include <cstdint>
#include <map>
#include <string_view>
#include <tuple>

#include "framework/font.h"
#include "framework/painter.h"
#include "framework/picture.h"

struct HDC__;
struct HFONT__;
struct HWND__;

namespace nuv::fw::win32 {

// GDI fonts for the framework's fonts, made once each and deleted with the
// cache.
class FontCache {
 public:
  FontCache() = default;
  ~FontCache();
  FontCache(const FontCache&) = delete;
  FontCache& operator=(const FontCache&) = delete;

  // Null when GDI could not make it.
  HFONT__* Get(const Font& font);

 private:
  std::map<std::tuple<std::string, int, int, bool>, HFONT__*> fonts_;
};

// The rectangle DrawText with DT_CALCRECT gives for `text` in `bounds`.
Rect MeasureText(FontCache& fonts, const Font& font, std::string_view text, const Rect& bounds,
                 uint32_t flags);

// The font of the status bar, as the system's non-client metrics give it.
Font StatusBarFont();

// A picture of a top-level window's client area as it shows now (its frame
// is the window manager's, as on Qt): it is drawn once more first, children
// and all. Empty when GDI could not take it.
Picture CaptureWindow(HWND__* hwnd);

// Paints with GDI on a device context that a window's WM_PAINT began.
class GdiPainter final : public Painter {
 public:
  GdiPainter(HDC__* dc, FontCache& fonts) : dc_(dc), fonts_(fonts) {}

  void FillRect(const Rect& rect, ColorRef colour) override;
  void FrameRect(const Rect& rect) override;
  int DrawText(std::string_view text, Rect& rect, uint32_t flags, const Font& font,
               ColorRef colour) override;

 private:
  HDC__* dc_;
  FontCache& fonts_;
};

}  // namespace nuv::fw::win32
