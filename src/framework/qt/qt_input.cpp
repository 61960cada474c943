#include "framework/qt/qt_input.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

#include "framework/application.h"
#include "framework/constants.h"
#include "framework/msg.h"
#include "framework/qt/qt_backend.h"
#include "framework/user_input.h"
#include "framework/window.h"

namespace nuv::fw::qt {
namespace {

// Virtual keys beyond the few the framework names.
constexpr uint32_t kVkBack = 0x08;
constexpr uint32_t kVkControl = 0x11;
constexpr uint32_t kVkMenu = 0x12;
constexpr uint32_t kVkPrior = 0x21;
constexpr uint32_t kVkLeft = 0x25;
constexpr uint32_t kVkInsert = 0x2D;
constexpr uint32_t kVkDelete = 0x2E;
constexpr uint32_t kVkF1 = 0x70;

uint32_t ButtonMessage(QEvent::Type type, Qt::MouseButton button) {
  uint32_t down = 0;
  switch (button) {
    case Qt::LeftButton:
      down = WM_LBUTTONDOWN;
      break;
    case Qt::RightButton:
      down = WM_RBUTTONDOWN;
      break;
    case Qt::MiddleButton:
      down = WM_MBUTTONDOWN;
      break;
    default:
      return 0;
  }
  // Each button's messages run down, up, double click.
  switch (type) {
    case QEvent::MouseButtonPress:
      return down;
    case QEvent::MouseButtonRelease:
      return down + 1;
    case QEvent::MouseButtonDblClick:
      return down + 2;
    default:
      return 0;
  }
}

// The top-level widget whose Qt window `window` is.
QWidget* TopLevelOf(const QWindow& window) {
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (top->windowHandle() == &window)
      return top;
  }
  return nullptr;
}

// A disabled control gives the point to its parent, as it does on Windows.
Window* Enabled(Window* window) {
  while (window != nullptr && !window->IsWindowEnabled() && !window->IsTopLevel())
    window = window->GetParent();
  return window;
}

bool Deliver(uint32_t message, Window& target, QPoint global, uint32_t wparam = 0) {
  Application* app = Application::Current();
  if (app == nullptr)
    return false;
  Msg msg;
  msg.message = message;
  msg.target = &target;
  msg.wparam = wparam;
  msg.screen = {global.x(), global.y()};
  msg.pt = target.ScreenToClient(msg.screen);
  return app->DispatchInput(msg);
}

}  // namespace

uint32_t VirtualKeyOf(const QKeyEvent& event) {
  const int key = event.key();
  if (key >= Qt::Key_A && key <= Qt::Key_Z)
    return static_cast<uint32_t>('A' + (key - Qt::Key_A));
  if (key >= Qt::Key_0 && key <= Qt::Key_9)
    return static_cast<uint32_t>('0' + (key - Qt::Key_0));
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
    return kVkF1 + static_cast<uint32_t>(key - Qt::Key_F1);
  switch (key) {
    case Qt::Key_Backspace:
      return kVkBack;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return VK_RETURN;
    case Qt::Key_Shift:
      return VK_SHIFT;
    case Qt::Key_Control:
      return kVkControl;
    case Qt::Key_Alt:
      return kVkMenu;
    case Qt::Key_Escape:
      return VK_ESCAPE;
    case Qt::Key_Space:
      return VK_SPACE;
    case Qt::Key_PageUp:
      return kVkPrior;
    case Qt::Key_PageDown:
      return kVkPrior + 1;
    case Qt::Key_End:
      return kVkPrior + 2;
    case Qt::Key_Home:
      return kVkPrior + 3;
    case Qt::Key_Left:
      return kVkLeft;
    case Qt::Key_Up:
      return kVkLeft + 1;
    case Qt::Key_Right:
      return kVkLeft + 2;
    case Qt::Key_Down:
      return kVkLeft + 3;
    case Qt::Key_Insert:
      return kVkInsert;
    case Qt::Key_Delete:
      return kVkDelete;
    default:
      return 0;
  }
}

InputRouter::InputRouter(QtBackend& backend) : backend_(backend) {
  QCoreApplication::instance()->installEventFilter(this);
}

InputRouter::~InputRouter() {
  if (QCoreApplication* app = QCoreApplication::instance())
    app->removeEventFilter(this);
}

bool InputRouter::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
      break;
    default:
      return false;
  }
  // Input reaches a Qt window first and its widgets after; only the first
  // delivery counts.
  const auto* window = qobject_cast<const QWindow*>(watched);
  QWidget* top = window != nullptr ? TopLevelOf(*window) : nullptr;
  if (top == nullptr)
    return false;
  if (auto* mouse = dynamic_cast<QMouseEvent*>(event))
    return Mouse(*top, *mouse);
  return Key(*top, *static_cast<QKeyEvent*>(event));
}

bool InputRouter::Mouse(QWidget& top, QMouseEvent& event) {
  backend_.NoteRealCursor();
  const QPoint global = event.globalPosition().toPoint();
  Window* target = captured_.get();
  if (target == nullptr || event.type() == QEvent::MouseButtonPress ||
      event.type() == QEvent::MouseButtonDblClick) {
    QWidget* hit = top.childAt(event.position().toPoint());
    target = Enabled(backend_.WindowOf(hit != nullptr ? hit : &top));
  }
  if (target == nullptr)
    return false;

  uint32_t message = WM_MOUSEMOVE;
  if (event.type() != QEvent::MouseMove) {
    message = ButtonMessage(event.type(), event.button());
    if (message == 0)
      return false;
  }
  if (event.type() == QEvent::MouseButtonPress)
    captured_ = WindowRef<>(target);
  const bool released =
      event.type() == QEvent::MouseButtonRelease && event.buttons() == Qt::NoButton;
  if (released) {
    captured_.reset();
    // The framework's button clicks on this message; Qt's button must look
    // released before the click's command runs (it may open a dialog).
    if (auto* button = qobject_cast<QAbstractButton*>(backend_.WidgetOf(*target)))
      button->setDown(false);
  }
  return Deliver(message, *target, global);
}

bool InputRouter::Key(QWidget& top, QKeyEvent& event) {
  QWidget* focus = QApplication::focusWidget();
  Window* target = backend_.WindowOf(focus != nullptr && focus->window() == &top ? focus : &top);
  if (target == nullptr)
    return false;
  const bool down = event.type() == QEvent::KeyPress;
  const QPoint cursor(backend_.CursorPos().x, backend_.CursorPos().y);
  const WindowRef<> ref(target);
  if (Deliver(down ? WM_KEYDOWN : WM_KEYUP, *target, cursor, VirtualKeyOf(event)))
    return true;
  // The space bar clicks a button that has the focus when it comes up.
  Window* still = ref.get();
  if (!down && !event.isAutoRepeat() && event.key() == Qt::Key_Space && still != nullptr &&
      (still->kind() == WindowKind::Button || still->kind() == WindowKind::CheckBox)) {
    if (auto* button = qobject_cast<QAbstractButton*>(backend_.WidgetOf(*still)))
      button->setDown(false);
    UserClick(*still);
    return true;
  }
  return false;
}

}  // namespace nuv::fw::qt
