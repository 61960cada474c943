#pragma once

#include <cstdint>

#include <QObject>

#include "framework/window_ref.h"

class QKeyEvent;
class QMouseEvent;
class QWidget;

namespace nuv::fw::qt {

class QtBackend;

// The virtual key of a Qt key event (VK_*), 0 for keys the tool never
// looks at.
uint32_t VirtualKeyOf(const QKeyEvent& event);

// Turns the user's real mouse and keyboard input into the framework's input
// messages. It watches every event that reaches a top-level Qt window, so
// that each press, move and key is seen once, before Qt hands it to a
// widget: the framework window under the pointer (or with the focus) and
// its parents see it in PreTranslateMessage, then the window handles it;
// when a PreTranslateMessage consumed it, Qt's widget never gets it.
class InputRouter final : public QObject {
 public:
  explicit InputRouter(QtBackend& backend);
  ~InputRouter() override;
  InputRouter(const InputRouter&) = delete;
  InputRouter& operator=(const InputRouter&) = delete;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool Mouse(QWidget& top, QMouseEvent& event);
  bool Key(QWidget& top, QKeyEvent& event);

  QtBackend& backend_;
  // The window a button went down on keeps the mouse until the button comes
  // up, as a window that captured it does.
  WindowRef<> captured_;
};

}  // namespace nuv::fw::qt
