#pragma once

#include <QCheckBox>
#include <QGroupBox>
#include <QScrollBar>
#include <QSize>
#include <QWidget>

namespace nuv::fw::qt {

// What the backend's widgets tell the backend.
class WidgetEvents {
 public:
  // The windowing system or the user moved or resized a window on the
  // screen, or the window that holds the host's page.
  virtual void PlacementChanged(QWidget& widget) = 0;
  // The user asked to close a top-level window (its title bar's button).
  virtual void CloseRequested(QWidget& widget) = 0;
  // A custom-painted window paints itself.
  virtual void Paint(QWidget& widget, QPainter& painter) = 0;
  // A form's scroll bar moved the contents up by `delta` pixels (negative:
  // down).
  virtual void Scrolled(QWidget& form, int delta) = 0;
  // The user moved a scrolling area's bar (or turned the wheel over it) to
  // `pos`.
  virtual void AreaScrolled(QWidget& area, int pos) = 0;

 protected:
  ~WidgetEvents() = default;
};

// Tells the backend whenever the place on the screen of a window of the
// framework may have changed: the widget that shows it moved or was resized
// within its Qt window, or that Qt window moved, was resized or appeared.
// The Qt window is watched as well as its widget because the windowing
// system may move a window's client area without moving its frame (when it
// adds the frame), and only the Qt window hears of that.
class PlacementWatcher final : public QObject {
 public:
  PlacementWatcher(WidgetEvents& events, QWidget& widget);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  WidgetEvents& events_;
  QWidget& widget_;
  QWidget* top_;  // the top-level widget holding it
  bool watching_qt_window_ = false;
};

// A top-level window of the framework: a dialog, or a frame of its own.
class TopLevelWidget final : public QWidget {
 public:
  TopLevelWidget(WidgetEvents& events, QWidget* owner, Qt::WindowFlags flags);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  WidgetEvents& events_;
};

// A custom-painted pop-up: top-most, frameless, and never activated, so the
// window the user works in keeps the focus.
class PopupWidget final : public QWidget {
 public:
  PopupWidget(WidgetEvents& events, QWidget* owner);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  WidgetEvents& events_;
};

// The host's page, laid into the host's own window. The page is a
// top-level window to the framework, placed on the screen; moving the host's
// window moves it too.
class PageWidget final : public QWidget {
 public:
  PageWidget(WidgetEvents& events, QWidget& area);
};

// A form view: it shows its template's area and scrolls it vertically when
// the view is shorter, moving the controls as the scroll bar moves.
class FormWidget final : public QWidget {
 public:
  FormWidget(WidgetEvents& events, QWidget* parent);

  // The area the controls are laid out in: the template's size in pixels.
  void SetContentSize(QSize size);
  void SetBorder(bool border);
  // How far the contents are scrolled up.
  int offset() const { return offset_; }
  QScrollBar& scroll_bar() { return *bar_; }
  // The scroll bar stays above controls made after it.
  void RaiseScrollBar() { bar_->raise(); }
  QSize sizeHint() const override;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void UpdateScrollBar();

  WidgetEvents& events_;
  QScrollBar* bar_;  // a child: Qt deletes it with the form
  QSize content_;
  int offset_ = 0;
  bool border_ = false;
};

// A scrolling area of the framework: its controls are its children, so Qt
// clips them to it, and its scroll bar at the right edge is the user's;
// the framework keeps the position and moves the controls.
class ScrollAreaWidget final : public QWidget {
 public:
  ScrollAreaWidget(WidgetEvents& events, QWidget* parent);

  // Mirrors the framework's area: how far it can scroll, where it is, and
  // how far an arrow moves it. The bar shows only when it can scroll.
  void SetScroll(int limit, int pos, int line);
  QScrollBar& scroll_bar() { return *bar_; }
  // The bar stays above controls made after it.
  void RaiseScrollBar() { bar_->raise(); }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  void PlaceScrollBar();

  QScrollBar* bar_;  // a child: Qt deletes it with the area
};

// A check box whose state only the framework changes: the user's click
// reaches the framework as mouse messages, and an automatic check box
// toggles itself there, as a Win32 one does.
class CheckBoxWidget final : public QCheckBox {
 public:
  using QCheckBox::QCheckBox;

 protected:
  void nextCheckState() override {}
};

// A group box drawn as Win32 draws one: a thin frame around the controls,
// its top line through the middle of the caption, the caption near the
// top-left corner on the dialog's background. Qt's own puts the caption
// above a filled panel, which moves every control it frames out of place.
class GroupBoxWidget final : public QGroupBox {
 public:
  using QGroupBox::QGroupBox;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace nuv::fw::qt
