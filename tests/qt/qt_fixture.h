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
#include "framework/message_map.h"
#include "framework/qt/qt_backend.h"
#include "qt_test_resource.h"

namespace nuv::fw::qt::testing {

using Log = std::vector<std::string>;

// A dialog of the test template that writes down what it sees: every input
// message but mouse moves that its PreTranslateMessage gets, every handler
// that runs.
class RecordingDialog : public Dialog {
 public:
  RecordingDialog() : Dialog(IDD_QT_DIALOG) {}
  ~RecordingDialog() override { DestroyWindow(); }

  const MessageMap& GetMessageMap() const override;
  bool PreTranslateMessage(const Msg& msg) override;
  void OnTimer(uint32_t id) override {
    if (on_timer)
      on_timer(id);
  }

  Log log;
  std::function<void(uint32_t)> on_timer;

 private:
  void Pressed() { log.push_back("clicked"); }
  void Checked() { log.push_back("checked"); }
  void Edited() { log.push_back("changed " + GetDlgItem(IDC_QT_EDIT)->GetWindowText()); }
  void Picked() { log.push_back("picked " + GetDlgItem(IDC_QT_LIST)->GetWindowText()); }
};

// The tall test form.
class TestForm : public FormView {
 public:
  TestForm() : FormView(IDD_QT_FORM) {}
  ~TestForm() override { DestroyWindow(); }
};

// A running application on the Qt backend (offscreen), torn down after
// each test.
class QtTest : public ::testing::Test {
 protected:
  QtTest();

  // Lets Qt run for `ms` milliseconds.
  static void Wait(int ms);
  // Lets Qt run until `done` holds or five seconds passed (a busy machine
  // runs timers late); whether it held.
  static bool WaitUntil(const std::function<bool()>& done);
  // Shows a dialog of the test template and waits until Qt shows it.
  std::unique_ptr<RecordingDialog> OpenDialog(Window* owner = nullptr);

  // Null when the window has none (the test then fails).
  QWidget* WidgetOf(const Window& window) const;
  template <class W>
  W* WidgetAs(const Window& window) const {
    return qobject_cast<W*>(WidgetOf(window));
  }
  // The Qt window that shows `window`, and the centre of `window` in it.
  QWindow* QtWindowOf(const Window& window) const;
  QPoint CentreInQtWindow(const Window& window) const;

  Application app_;
  QtBackend& backend_;
};

}  // namespace nuv::fw::qt::testing
