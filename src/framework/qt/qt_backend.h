#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>

#include <QPointer>
#include <QWidget>

#include "framework/backend.h"
#include "framework/qt/qt_widgets.h"
#include "framework/window_ref.h"

class QDialog;
class QTimer;

namespace nuv::fw::qt {

class InputRouter;

// The Qt 6 Widgets backend: every framework window gets a widget that
// mirrors it, real input reaches the framework as input messages before
// the widgets see it, and boxes, file dialogs and timers are Qt's own.
//
// Widgets are laid out in the framework's pixels: a child's rectangle is its
// widget's geometry in its parent, a top-level window's rectangle is its
// client area on the screen. What the windowing system or the user changes
// (a dialog dragged, the host's window resized, a form scrolled) is written
// back into the framework, so that screen coordinates mean the same to both.
//
// Needs a running QApplication; sets its style and font.
class QtBackend final : public Backend, private WidgetEvents {
 public:
  QtBackend();
  ~QtBackend() override;
  QtBackend(const QtBackend&) = delete;
  QtBackend& operator=(const QtBackend&) = delete;

  // Where the host's page goes: the first frame window made after this call
  // is laid into `area` (a widget of the host's own window) instead of
  // becoming a window of its own.
  void SetPageArea(QWidget* area);

  // The widget that shows a window; null when it has none.
  QWidget* WidgetOf(const Window& window) const;
  // The framework window a widget (or the widget's nearest ancestor that
  // shows one) belongs to; null when none.
  Window* WindowOf(const QWidget* widget) const;

  // Called with every message box and file dialog once it is up and modal,
  // before the user answers; the hook may answer it itself (a walk that
  // takes screenshots does). No hook: the user answers.
  using ModalHook = std::function<void(QDialog& dialog)>;
  void SetModalHook(ModalHook hook) { modal_hook_ = std::move(hook); }

  // The cursor moved for real: forget a position set by SetCursorPos.
  void NoteRealCursor() { synthetic_cursor_.reset(); }

  // --- Backend ---
  void WindowCreated(Window& window) override;
  void WindowChanged(Window& window, Change what) override;
  void WindowDestroyed(Window& window) override;
  void Invalidate(Window& window) override;
  int MessageBox(const Window* owner, std::string_view caption, std::string_view text,
                 uint32_t type) override;
  std::optional<std::string> FileDialog(const FileDialogRequest& request) override;
  void SetTimer(Window& window, uint32_t id, uint32_t elapse_ms) override;
  bool KillTimer(Window& window, uint32_t id) override;
  Size ScreenSize() const override;
  Point CursorPos() const override;
  // Moves the cursor as far as the framework can tell (scripted input, a
  // walk); the real pointer stays where the user left it.
  void SetCursorPos(Point screen) override { synthetic_cursor_ = screen; }
  Rect MeasureText(const Font& font, std::string_view text, const Rect& bounds,
                   uint32_t flags) const override;
  Font StatusFont() const override;
  ColorRef GetSysColour(SystemColour which) const override;

 private:
  struct Entry {
    WindowRef<> window;
    QPointer<QWidget> widget;
    bool shown_once = false;
    bool placed_by_program = false;
  };

  // --- WidgetEvents ---
  void PlacementChanged(QWidget& widget) override;
  void CloseRequested(QWidget& widget) override;
  void Paint(QWidget& widget, QPainter& painter) override;
  void Scrolled(QWidget& form, int delta) override;
  void AreaScrolled(QWidget& area, int pos) override;

  QWidget* MakeWidget(Window& window);
  QWidget* MakeControl(Window& window, QWidget& parent);
  // The widget a top-level window's Qt windows go on top of.
  QWidget* OwnerWidget(const Window* owner) const;
  Entry* Find(const Window& window);
  void ApplyText(Window& window, QWidget& widget);
  // The window's font; a label's is condensed as far as its text needs.
  void ApplyFont(Window& window, QWidget& widget);
  void ApplyGeometry(Window& window, Entry& entry);
  void ApplyVisibility(Window& window, Entry& entry);
  void ApplyItems(Window& window, QWidget& widget);
  // A scrolling area's bar: its range, position and step.
  void ApplyScroll(Window& window, QWidget& widget);
  // Writes a top-level window's place on the screen back into the framework.
  void ReadPlacement(Window& window, QWidget& widget);
  // Runs a modal Qt dialog, handing it to the hook once it is up.
  int RunModal(QDialog& dialog);

  std::unordered_map<uint64_t, Entry> entries_;  // by window serial
  std::map<std::pair<uint64_t, uint32_t>, QPointer<QTimer>> timers_;
  std::unique_ptr<QObject> timer_parent_;
  std::unique_ptr<InputRouter> input_;
  QPointer<QWidget> page_area_;
  ModalHook modal_hook_;
  std::optional<Point> synthetic_cursor_;
  // Set while the backend writes what Qt did back into the framework, so
  // that the framework's echo is not applied to Qt again.
  bool reading_back_ = false;
};

}  // namespace nuv::fw::qt
