#pragma once

#include <cstdint>
#include <string_view>

#include <QColor>
#include <QPainter>
#include <QString>

#include "framework/painter.h"

namespace nuv::fw::qt {

QColor ToQColor(ColorRef colour);
ColorRef ToColorRef(const QColor& colour);
QString ToQString(std::string_view text);

// The Qt text flags that draw as DrawText does with the DT_* `flags`: left,
// centred, word-broken at blanks, tabs expanded, '&' drawn as itself.
int ToQtTextFlags(uint32_t flags);

// DrawText with DT_CALCRECT: `bounds` with its right and bottom edges moved
// to the extent of `text` in `font`.
Rect MeasureText(const Font& font, std::string_view text, const Rect& bounds, uint32_t flags);

// A framework painter over a QPainter, for custom-painted windows.
class QtPainter final : public Painter {
 public:
  explicit QtPainter(QPainter& painter) : painter_(painter) {}

  void FillRect(const Rect& rect, ColorRef colour) override;
  void FrameRect(const Rect& rect) override;
  int DrawText(std::string_view text, Rect& rect, uint32_t flags, const Font& font,
               ColorRef colour) override;

 private:
  QPainter& painter_;
};

}  // namespace nuv::fw::qt
