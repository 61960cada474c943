#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QPoint>
#include <QWidget>
#include <QWindow>

#include "framework/application.h"
#include "framework/dialog.h"
#include "framework/form_view.h"
#include "framework/qt/qt_backend.h"
#include "qt_test_resource.h"

namespace nuv::fw::qt::testing {

// A dialog of the test template that writes down what it sees: every input
// message its PreTranslateMessage gets, every handler that runs.
class RecordingDialog : public Dialog {
 public:
  RecordingDialog() : Dialog(IDD_QT_DIALOG) {}
  ~RecordingDialog() override;

  const MessageMap& GetMessageMap() const override;
  bool PreTranslateMessage(const Msg& msg) override;
  void OnTimer(uint32_t id) override;

  std::vector<std::string> log;
  // Called from OnTimer with the timer's id.
  std::function<void(uint32_t)> on_timer;

 private:
  void Pressed();
  void Edited();
  void Picked();
  void Checked();
};

// The tall test form.
class TestForm : public FormView {
 public:
  TestForm() : FormView(IDD_QT_FORM) {}
  ~TestForm() override;
};

// A running application on the Qt backend (offscreen), torn down after
// each test.
class QtTest : public ::testing::Test {
 protected:
  QtTest();
  ~QtTest() override;

  // Lets Qt run for `ms` milliseconds.
  static void Wait(int ms);
  // Lets Qt run until `done` holds or five seconds passed (a busy machine
  // runs timers late); whether it held.
  static bool WaitUntil(const std::function<bool()>& done);
  // Shows a dialog of the test template and waits until Qt shows it.
  std::unique_ptr<RecordingDialog> OpenDialog();

  // Null when the window has none (the test then fails).
  QWidget* WidgetOf(const Window& window) const;
  // The Qt window that shows `window`, and the point of `window`'s client
  // point `client` in that Qt window.
  QWindow* QtWindowOf(const Window& window) const;
  QPoint InQtWindow(const Window& window, QPoint client) const;
  QPoint CentreInQtWindow(const Window& window) const;

  Application app_;
  QtBackend& backend_;
};

}  // namespace nuv::fw::qt::testing
