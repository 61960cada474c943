#include "framework/qt/qt_widgets.h"

#include <algorithm>

#include <QCloseEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QStyle>
#include <QWheelEvent>
#include <QWindow>

namespace nuv::fw::qt {

PlacementWatcher::PlacementWatcher(WidgetEvents& events, QWidget& widget)
    : QObject(&widget), events_(events), widget_(widget), top_(widget.window()) {
  widget.installEventFilter(this);
  if (top_ != &widget)
    top_->installEventFilter(this);
}

bool PlacementWatcher::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (watched == top_ && type == QEvent::Show && !watching_qt_window_) {
    if (QWindow* window = top_->windowHandle()) {
      window->installEventFilter(this);
      watching_qt_window_ = true;
    }
  }
  const bool moved = type == QEvent::Move || type == QEvent::Resize;
  const bool appeared = watched == top_ ? type == QEvent::Show : type == QEvent::Expose;
  if (moved || appeared)
    events_.PlacementChanged(widget_);
  return false;
}

TopLevelWidget::TopLevelWidget(WidgetEvents& events, QWidget* owner, Qt::WindowFlags flags)
    : QWidget(owner, flags), events_(events) {
  new PlacementWatcher(events, *this);  // a child: Qt deletes it with the widget
}

void TopLevelWidget::closeEvent(QCloseEvent* event) {
  // The framework decides: a dialog hears IDCANCEL, as Win32 turns the
  // close button into it, and hides or destroys itself.
  event->ignore();
  events_.CloseRequested(*this);
}

PopupWidget::PopupWidget(WidgetEvents& events, QWidget* owner)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                         Qt::WindowDoesNotAcceptFocus),
      events_(events) {
  setAttribute(Qt::WA_ShowWithoutActivating);
  setFocusPolicy(Qt::NoFocus);
  new PlacementWatcher(events, *this);
}

void PopupWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  events_.Paint(*this, painter);
}

PageWidget::PageWidget(WidgetEvents& events, QWidget& area) : QWidget(&area) {
  new PlacementWatcher(events, *this);
}

FormWidget::FormWidget(WidgetEvents& events, QWidget* parent)
    : QWidget(parent), events_(events), bar_(new QScrollBar(Qt::Vertical, this)) {
  bar_->hide();
  QObject::connect(bar_, &QScrollBar::valueChanged, this, [this](int value) {
    const int delta = value - offset_;
    offset_ = value;
    if (delta != 0)
      events_.Scrolled(*this, delta);
  });
}

void FormWidget::SetContentSize(QSize size) {
  content_ = size;
  UpdateScrollBar();
}

void FormWidget::SetBorder(bool border) {
  border_ = border;
  update();
}

QSize FormWidget::sizeHint() const {
  return content_ + QSize(style()->pixelMetric(QStyle::PM_ScrollBarExtent), 0);
}

void FormWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  UpdateScrollBar();
}

void FormWidget::wheelEvent(QWheelEvent* event) {
  // Controls that do not take the wheel hand it on to the form.
  if (bar_->isVisible())
    bar_->setValue(bar_->value() - event->angleDelta().y() / 120 * 3 * bar_->singleStep());
  event->accept();
}

void FormWidget::paintEvent(QPaintEvent*) {
  if (!border_)
    return;
  QPainter painter(this);
  painter.setPen(palette().color(QPalette::Dark));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void FormWidget::UpdateScrollBar() {
  // As a scrolling view does: the bar appears when the contents are taller
  // than the view and the contents never scroll past their end.
  const int range = std::max(0, content_.height() - height());
  const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  bar_->setGeometry(width() - extent, 0, extent, height());
  bar_->setPageStep(std::max(1, height()));
  bar_->setSingleStep(13);
  bar_->setRange(0, range);  // may move the contents back down
  bar_->setVisible(range > 0);
  bar_->raise();
}

ScrollAreaWidget::ScrollAreaWidget(WidgetEvents& events, QWidget* parent)
    : QWidget(parent), bar_(new QScrollBar(Qt::Vertical, this)) {
  bar_->hide();
  QObject::connect(bar_, &QScrollBar::valueChanged, this,
                   [this, &events](int value) { events.AreaScrolled(*this, value); });
}

void ScrollAreaWidget::SetScroll(int limit, int pos, int line) {
  const QSignalBlocker quiet(bar_);
  bar_->setRange(0, limit);
  bar_->setSingleStep(line);
  bar_->setPageStep(std::max(1, height()));
  bar_->setValue(pos);
  bar_->setVisible(limit > 0);
  bar_->raise();
}

void ScrollAreaWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  PlaceScrollBar();
}

void ScrollAreaWidget::wheelEvent(QWheelEvent* event) {
  if (!bar_->isVisible()) {
    event->ignore();  // the form scrolls instead
    return;
  }
  bar_->setValue(bar_->value() - event->angleDelta().y() / 120 * 3 * bar_->singleStep());
  event->accept();
}

void ScrollAreaWidget::PlaceScrollBar() {
  const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  bar_->setGeometry(width() - extent, 0, extent, height());
  bar_->setPageStep(std::max(1, height()));
}

void GroupBoxWidget::paintEvent(QPaintEvent*) {
  // The caption starts 6 pixels in and stands 2 pixels clear of the frame.
  constexpr int kCaptionLeft = 6;
  constexpr int kCaptionPad = 2;
  QPainter painter(this);
  const QFontMetrics metrics(font());
  const int line = metrics.height() / 2;
  painter.setPen(palette().color(QPalette::Mid));
  painter.drawRect(QRect(0, line, width() - 1, height() - line - 1));
  if (title().isEmpty())
    return;
  const int text_width = std::min(metrics.horizontalAdvance(title()), width() - 2 * kCaptionLeft);
  const QRect caption(kCaptionLeft, 0, text_width + 2 * kCaptionPad, metrics.height());
  painter.fillRect(caption, palette().color(QPalette::Window));
  painter.setPen(
      palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
  painter.drawText(caption.adjusted(kCaptionPad, 0, -kCaptionPad, 0),
                   Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, title());
}

}  // namespace nuv::fw::qt
