// Real input, as Qt delivers it to a window, reaching the framework: the
// PreTranslateMessage chain first, then the control.
#include <algorithm>

#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include "framework/button.h"
#include "framework/combo_box.h"
#include "framework/constants.h"
#include "framework/qt/qt_input.h"
#include "framework/window.h"
#include "qt_fixture.h"

namespace nuv::fw::qt::testing {
namespace {

using Log = std::vector<std::string>;

int Count(const Log& log, const std::string& line) {
  return static_cast<int>(std::count(log.begin(), log.end(), line));
}

// Counts the key presses of one key that reach a widget.
class KeyCounter : public QObject {
 public:
  explicit KeyCounter(int key) : key_(key) {}
  int count = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == key_)
      ++count;
    return false;
  }

 private:
  int key_;
};

TEST_F(QtTest, AClickIsSeenByPreTranslateMessageBeforeTheButtonHandlesIt) {
  auto dialog = OpenDialog();
  Window& button = *dialog->GetDlgItem(IDC_QT_BUTTON);
  QTest::mouseClick(QtWindowOf(button), Qt::LeftButton, {}, CentreInQtWindow(button));
  EXPECT_EQ(dialog->log, (Log{"down 3004", "up 3004", "clicked"}));
}

TEST_F(QtTest, ReleasingTheMouseOffTheButtonDoesNotClickIt) {
  auto dialog = OpenDialog();
  Window& button = *dialog->GetDlgItem(IDC_QT_BUTTON);
  QWindow* window = QtWindowOf(button);
  QTest::mousePress(window, Qt::LeftButton, {}, CentreInQtWindow(button));
  QTest::mouseMove(window, CentreInQtWindow(*dialog->GetDlgItem(IDC_QT_LABEL)));
  QTest::mouseRelease(window, Qt::LeftButton, {},
                      CentreInQtWindow(*dialog->GetDlgItem(IDC_QT_LABEL)));
  // The button kept the mouse until the release, which it took as no click.
  EXPECT_EQ(dialog->log, (Log{"down 3004", "up 3004"}));
}

TEST_F(QtTest, ADoubleClickOnAButtonClicksItTwice) {
  auto dialog = OpenDialog();
  Window& button = *dialog->GetDlgItem(IDC_QT_BUTTON);
  QTest::mouseDClick(QtWindowOf(button), Qt::LeftButton, {}, CentreInQtWindow(button));
  EXPECT_EQ(Count(dialog->log, "clicked"), 2);
  EXPECT_EQ(Count(dialog->log, "double 3004"), 1);
}

TEST_F(QtTest, ACheckBoxChangesOnceForAClickAndShowsIt) {
  auto dialog = OpenDialog();
  auto* check = dialog->GetDlgItemAs<Button>(IDC_QT_CHECK);
  auto* widget = qobject_cast<QAbstractButton*>(WidgetOf(*check));
  ASSERT_NE(widget, nullptr);
  QTest::mouseClick(QtWindowOf(*check), Qt::LeftButton, {}, CentreInQtWindow(*check));
  EXPECT_EQ(check->GetCheck(), 1);
  EXPECT_TRUE(widget->isChecked());
  QTest::mouseClick(QtWindowOf(*check), Qt::LeftButton, {}, CentreInQtWindow(*check));
  EXPECT_EQ(check->GetCheck(), 0);
  EXPECT_FALSE(widget->isChecked());
  EXPECT_EQ(Count(dialog->log, "checked"), 2);
}

TEST_F(QtTest, LabelsAndDisabledControlsLetTheMouseThroughToTheDialog) {
  auto dialog = OpenDialog();
  for (uint32_t id : {IDC_QT_LABEL, IDC_QT_DISABLED}) {
    Window& control = *dialog->GetDlgItem(id);
    QTest::mouseClick(QtWindowOf(control), Qt::LeftButton, {}, CentreInQtWindow(control));
  }
  EXPECT_EQ(dialog->log, (Log{"down 0", "up 0", "down 0", "up 0"}));
}

TEST_F(QtTest, TypingInAnEditTellsTheDialogAfterItSawTheKey) {
  auto dialog = OpenDialog();
  Window& edit = *dialog->GetDlgItem(IDC_QT_EDIT);
  QWindow* window = QtWindowOf(edit);
  QTest::mouseClick(window, Qt::LeftButton, {}, CentreInQtWindow(edit));
  dialog->log.clear();
  QTest::keyClick(window, Qt::Key_A);
  QTest::keyClick(window, Qt::Key_B);
  EXPECT_EQ(edit.GetWindowText(), "ab");
  EXPECT_EQ(dialog->log, (Log{"keydown 3002 vk 65", "changed a", "keyup 3002 vk 65",
                              "keydown 3002 vk 66", "changed ab", "keyup 3002 vk 66"}));
}

TEST_F(QtTest, ReturnIsTakenByTheDialogAndNeverReachesTheEdit) {
  auto dialog = OpenDialog();
  Window& edit = *dialog->GetDlgItem(IDC_QT_EDIT);
  QWindow* window = QtWindowOf(edit);
  QTest::mouseClick(window, Qt::LeftButton, {}, CentreInQtWindow(edit));
  KeyCounter returns(Qt::Key_Return);
  KeyCounter letters(Qt::Key_X);
  WidgetOf(edit)->installEventFilter(&returns);
  WidgetOf(edit)->installEventFilter(&letters);
  QTest::keyClick(window, Qt::Key_X);
  QTest::keyClick(window, Qt::Key_Return);
  EXPECT_EQ(letters.count, 1);
  EXPECT_EQ(returns.count, 0);
  // The default button's command ran: the dialog took its values and ended.
  EXPECT_EQ(dialog->result(), static_cast<int>(IDOK));
  EXPECT_FALSE(dialog->IsWindowVisible());
  EXPECT_FALSE(WidgetOf(*dialog)->isVisible());
}

TEST_F(QtTest, TheSpaceBarClicksTheButtonWithTheFocus) {
  auto dialog = OpenDialog();
  Window& button = *dialog->GetDlgItem(IDC_QT_BUTTON);
  WidgetOf(button)->setFocus();
  QTest::keyClick(QtWindowOf(button), Qt::Key_Space);
  EXPECT_EQ(Count(dialog->log, "clicked"), 1);
  EXPECT_EQ(Count(dialog->log, "keydown 3004 vk 32"), 1);
}

TEST_F(QtTest, PickingAComboItemTellsTheDialog) {
  auto dialog = OpenDialog();
  auto* combo = dialog->GetDlgItemAs<ComboBox>(IDC_QT_LIST);
  combo->AddString("red");
  combo->AddString("green");
  combo->SetCurSel(0);
  WidgetOf(*combo)->setFocus();
  QTest::keyClick(QtWindowOf(*combo), Qt::Key_Down);
  EXPECT_EQ(combo->GetCurSel(), 1);
  EXPECT_EQ(Count(dialog->log, "picked green"), 1);
  EXPECT_EQ(qobject_cast<QComboBox*>(WidgetOf(*combo))->currentIndex(), 1);
}

TEST(QtKeyTest, KeysAreTheirWindowsVirtualKeys) {
  const auto key = [](int qt_key) {
    const QKeyEvent event(QEvent::KeyPress, qt_key, Qt::NoModifier);
    return VirtualKeyOf(event);
  };
  EXPECT_EQ(key(Qt::Key_A), uint32_t{'A'});
  EXPECT_EQ(key(Qt::Key_Z), uint32_t{'Z'});
  EXPECT_EQ(key(Qt::Key_7), uint32_t{'7'});
  EXPECT_EQ(key(Qt::Key_Escape), VK_ESCAPE);
  EXPECT_EQ(key(Qt::Key_Enter), VK_RETURN);
  EXPECT_EQ(key(Qt::Key_Backtab), VK_TAB);
  EXPECT_EQ(key(Qt::Key_Down), 0x28u);
  EXPECT_EQ(key(Qt::Key_F5), 0x74u);
  EXPECT_EQ(key(Qt::Key_Eacute), 0u);
}

}  // namespace
}  // namespace nuv::fw::qt::testing
