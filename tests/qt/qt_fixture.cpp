#include "qt_fixture.h"

#include <cstdlib>
#include <map>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTest>
#include <QTimer>

#include "framework/module.h"
#include "framework/msg.h"
#include "framework/qt/offscreen.h"

extern const nuv::fw::DialogTemplates qt_test_templates;

namespace nuv::fw::qt::testing {
namespace {

const Module g_module("qt tests", qt_test_templates, {});

// One QApplication for the whole program, on the offscreen platform so that
// the tests behave the same with or without a display.
class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    UseOffscreenPlatform();
    app_ = std::make_unique<QApplication>(argc_, argv_);
  }
  void TearDown() override { app_.reset(); }

 private:
  int argc_ = 1;
  char name_[16] = "nuv_qt_tests";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const g_environment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace

const MessageMap& RecordingDialog::GetMessageMap() const {
  static const MessageMap map(&Dialog::ClassMessageMap(),
                              {
                                  OnClicked(IDC_QT_BUTTON, &RecordingDialog::Pressed),
                                  OnClicked(IDC_QT_CHECK, &RecordingDialog::Checked),
                                  OnChange(IDC_QT_EDIT, &RecordingDialog::Edited),
                                  OnSelChange(IDC_QT_LIST, &RecordingDialog::Picked),
                              });
  return map;
}

bool RecordingDialog::PreTranslateMessage(const Msg& msg) {
  // Moves come in numbers that depend on the platform; the rest in order.
  static const std::map<uint32_t, std::string> kNames = {
      {WM_LBUTTONDOWN, "down"}, {WM_LBUTTONUP, "up"}, {WM_LBUTTONDBLCLK, "double"},
      {WM_KEYDOWN, "keydown"},  {WM_KEYUP, "keyup"},
  };
  if (msg.message != WM_MOUSEMOVE) {
    const auto name = kNames.find(msg.message);
    std::string line = (name != kNames.end() ? name->second : std::to_string(msg.message)) + " " +
                       std::to_string(msg.target->GetDlgCtrlID());
    if (msg.message == WM_KEYDOWN || msg.message == WM_KEYUP)
      line += " vk " + std::to_string(msg.wparam);
    log.push_back(line);
  }
  return Dialog::PreTranslateMessage(msg);
}

QtTest::QtTest()
    : app_("nuvhost", std::make_unique<QtBackend>()),
      backend_(static_cast<QtBackend&>(app_.backend())) {}

void QtTest::Wait(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

bool QtTest::WaitUntil(const std::function<bool()>& done) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > 5000)
      return false;
    Wait(10);
  }
  return true;
}

std::unique_ptr<RecordingDialog> QtTest::OpenDialog(Window* owner) {
  auto dialog = std::make_unique<RecordingDialog>();
  EXPECT_TRUE(dialog->Create(owner));
  dialog->ShowWindow(SW_SHOW);
  QWidget* widget = WidgetOf(*dialog);
  EXPECT_TRUE(widget != nullptr && QTest::qWaitForWindowExposed(widget));
  return dialog;
}

QWidget* QtTest::WidgetOf(const Window& window) const {
  QWidget* widget = backend_.WidgetOf(window);
  EXPECT_NE(widget, nullptr) << "window " << window.GetDlgCtrlID() << " has no widget";
  return widget;
}

QWindow* QtTest::QtWindowOf(const Window& window) const {
  QWidget* widget = WidgetOf(window);
  QWindow* shown = widget != nullptr ? widget->window()->windowHandle() : nullptr;
  EXPECT_NE(shown, nullptr) << "window " << window.GetDlgCtrlID() << " has no Qt window";
  return shown;
}

QPoint QtTest::CentreInQtWindow(const Window& window) const {
  QWidget* widget = WidgetOf(window);
  return widget != nullptr ? widget->mapTo(widget->window(), widget->rect().center()) : QPoint();
}

}  // namespace nuv::fw::qt::testing
