#include "framework/qt/qt_painter.h"

#include <QFontMetrics>
#include <QRect>

#include "framework/constants.h"
#include "framework/qt/qt_fonts.h"

namespace nuv::fw::qt {
namespace {

QRect ToQRect(const Rect& rect) {
  return QRect(rect.left, rect.top, rect.Width(), rect.Height());
}

// A bounding rectangle tall enough for any text: DT_CALCRECT ignores the
// bottom edge it is given.
constexpr int kUnbounded = 1 << 20;

}  // namespace

QColor ToQColor(ColorRef colour) {
  return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                static_cast<int>((colour >> 16) & 0xFF));
}

ColorRef ToColorRef(const QColor& colour) {
  return RGB(static_cast<uint8_t>(colour.red()), static_cast<uint8_t>(colour.green()),
             static_cast<uint8_t>(colour.blue()));
}

QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

int ToQtTextFlags(uint32_t flags) {
  int qt = Qt::AlignTop;
  qt |= (flags & DT_CENTER) != 0 ? Qt::AlignHCenter : Qt::AlignLeft;
  if ((flags & DT_SINGLELINE) != 0)
    qt |= Qt::TextSingleLine;
  else if ((flags & DT_WORDBREAK) != 0)
    qt |= Qt::TextWordWrap;
  if ((flags & DT_EXPANDTABS) != 0)
    qt |= Qt::TextExpandTabs;
  return qt;
}

Rect MeasureText(const Font& font, std::string_view text, const Rect& bounds, uint32_t flags) {
  const QFontMetrics metrics(ToQFont(font));
  const QRect room(bounds.left, bounds.top, bounds.Width(), kUnbounded);
  const QRect extent = metrics.boundingRect(room, ToQtTextFlags(flags), ToQString(text));
  // DrawText reports the extent from the rectangle's top-left corner, however
  // the text is aligned inside it.
  return {bounds.left, bounds.top, bounds.left + extent.width(), bounds.top + extent.height()};
}

void QtPainter::FillRect(const Rect& rect, ColorRef colour) {
  painter_.fillRect(ToQRect(rect), ToQColor(colour));
}

void QtPainter::FrameRect(const Rect& rect) {
  if (rect.IsEmpty())
    return;
  painter_.save();
  painter_.setPen(QPen(Qt::black, 1));
  painter_.setBrush(Qt::NoBrush);
  // A one-pixel pen on integer coordinates draws right of and below them;
  // the frame lies on the rectangle's outermost pixels.
  painter_.drawRect(QRect(rect.left, rect.top, rect.Width() - 1, rect.Height() - 1));
  painter_.restore();
}

int QtPainter::DrawText(std::string_view text, Rect& rect, uint32_t flags, const Font& font,
                        ColorRef colour) {
  if ((flags & DT_CALCRECT) != 0) {
    rect = MeasureText(font, text, rect, flags);
    return rect.Height();
  }
  painter_.save();
  painter_.setFont(ToQFont(font));
  painter_.setPen(ToQColor(colour));
  QRect drawn;
  painter_.drawText(ToQRect(rect), ToQtTextFlags(flags), ToQString(text), &drawn);
  painter_.restore();
  return drawn.height();
}

}  // namespace nuv::fw::qt
