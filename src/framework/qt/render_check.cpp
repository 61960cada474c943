#include "framework/qt/render_check.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace nuv::fw::qt {
namespace {

constexpr int kDarkGray = 96;
// Frames and focus rings lie on the edge of a control; text lies inside.
constexpr int kInset = 3;
// The fewest dark pixels that make a glyph: a one-character text at the
// dialog font still has a dozen.
constexpr int kFewestDarkPixels = 4;

QString TextOf(const QWidget& widget) {
  if (const auto* label = qobject_cast<const QLabel*>(&widget))
    return label->text();
  if (const auto* tool = qobject_cast<const QToolButton*>(&widget);
      tool != nullptr && tool->toolButtonStyle() == Qt::ToolButtonIconOnly)
    return {};  // its text is only a tooltip
  if (const auto* button = qobject_cast<const QAbstractButton*>(&widget))
    return button->text();
  if (const auto* group = qobject_cast<const QGroupBox*>(&widget))
    return group->title();
  if (const auto* combo = qobject_cast<const QComboBox*>(&widget))
    return combo->currentText();
  if (const auto* edit = qobject_cast<const QLineEdit*>(&widget)) {
    // A combo box's own edit is checked with the combo box.
    if (qobject_cast<const QComboBox*>(edit->parentWidget()) != nullptr)
      return {};
    return edit->echoMode() == QLineEdit::Normal ? edit->text() : QString();
  }
  return {};
}

}  // namespace

int DarkPixelCount(const QImage& image, const QRect& area) {
  const QRect inside = area.intersected(image.rect());
  int count = 0;
  for (int y = inside.top(); y <= inside.bottom(); ++y) {
    for (int x = inside.left(); x <= inside.right(); ++x) {
      if (qGray(image.pixel(x, y)) < kDarkGray)
        ++count;
    }
  }
  return count;
}

std::vector<std::string> FindUnrenderedTexts(const QWidget& root, const QImage& image) {
  std::vector<std::string> problems;
  // grab() renders at the device pixel ratio of the screen.
  const qreal ratio = image.devicePixelRatio() > 0 ? image.devicePixelRatio() : 1.0;
  for (const QWidget* widget : root.findChildren<QWidget*>()) {
    // Windows owned by `root` (its dialogs) are Qt children of it too, but
    // not in its picture.
    if (widget->window() != root.window() || !widget->isVisibleTo(&root) || !widget->isEnabled())
      continue;
    const QString text = TextOf(*widget).trimmed();
    if (text.isEmpty())
      continue;
    // A widget is seen only where every parent up to `root` is: a scrolling
    // area clips its rows.
    QRect area(widget->mapTo(&root, QPoint(0, 0)), widget->size());
    for (const QWidget* parent = widget->parentWidget(); parent != nullptr && parent != &root;
         parent = parent->parentWidget())
      area &= QRect(parent->mapTo(&root, QPoint(0, 0)), parent->size());
    if (area.isEmpty())
      continue;  // scrolled out of sight
    const QRect scaled(
        QPoint(qRound(area.left() * ratio), qRound(area.top() * ratio)),
        QPoint(qRound((area.right() + 1) * ratio) - 1, qRound((area.bottom() + 1) * ratio) - 1));
    const QRect visible = scaled.intersected(image.rect());
    if (visible.isEmpty())
      continue;  // beyond the picture
    const QRect inner = visible.adjusted(kInset, kInset, -kInset, -kInset);
    if (DarkPixelCount(image, inner.isValid() ? inner : visible) < kFewestDarkPixels)
      problems.push_back("\"" + text.toStdString() + "\" (" + widget->metaObject()->className() +
                         ") did not render");
  }
  return problems;
}

}  // namespace nuv::fw::qt
