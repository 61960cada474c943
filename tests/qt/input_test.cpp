// Real input, as Qt delivers it to a window, reaching the framework: the
// PreTranslateMessage chain first, then the control.
#include <algorithm>

#include <QComboBox>
#include <QKeyEvent>
#include <QTest>

#include "framework/button.h"
#include "framework/combo_box.h"
#include "framework/constants.h"
#include "framework/qt/qt_input.h"
#include "framework/window.h"
#include "qt_fixture.h"

namespace nuv::fw::qt::testing {
namespace {

int Count(const Log& log, const std::string& line) {
  return static_cast<int>(std::count(log.begin(), log.end(), line));
}

// The keys pressed that reach a widget.
class KeyRecorder : public QObject {
 public:
  std::vector<int> keys;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::KeyPress)
      keys.push_back(static_cast<QKeyEvent*>(event)->key());
    return false;
  }
};

TEST_F(QtTest, MouseInputIsSeenByPreTranslateMessageBeforeTheControlHandlesIt) {
  auto dialog = OpenDialog();
  Window& button = *dialog->GetDlgItem(IDC_QT_BUTTON);
  QWindow* window = QtWindowOf(button);
  const auto click = [&](uint32_t id) {
    QTest::mouseClick(window, Qt::LeftButton, {}, CentreInQtWindow(*dialog->GetDlgItem(id)));
  };
  click(IDC_QT_BUTTON);
  EXPECT_EQ(dialog->log, (Log{"down 3004", "up 3004", "clicked"}));

  // Released off the button: the button kept the mouse, and took it as no click.
  dialog->log.clear();
  const QPoint label = CentreInQtWindow(*dialog->GetDlgItem(IDC_QT_LABEL));
  QTest::mousePress(window, Qt::LeftButton, {}, CentreInQtWindow(button));
  QTest::mouseMove(window, label);
  QTest::mouseRelease(window, Qt::LeftButton, {}, label);
  EXPECT_EQ(dialog->log, (Log{"down 3004", "up 3004"}));

  // Labels and disabled controls let the mouse through to the dialog.
  dialog->log.clear();
  click(IDC_QT_LABEL);
  click(IDC_QT_DISABLED);
  EXPECT_EQ(dialog->log, (Log{"down 0", "up 0", "down 0", "up 0"}));

  // A check box changes once for a click, and shows it.
  auto* check = dialog->GetDlgItemAs<Button>(IDC_QT_CHECK);
  click(IDC_QT_CHECK);
  EXPECT_EQ(check->GetCheck(), 1);
  EXPECT_TRUE(WidgetAs<QAbstractButton>(*check)->isChecked());
  click(IDC_QT_CHECK);
  EXPECT_EQ(check->GetCheck(), 0);
  EXPECT_FALSE(WidgetAs<QAbstractButton>(*check)->isChecked());
  EXPECT_EQ(Count(dialog->log, "checked"), 2);

  // A double click on a button clicks it twice.
  dialog->log.clear();
  QTest::mouseDClick(window, Qt::LeftButton, {}, CentreInQtWindow(button));
  EXPECT_EQ(Count(dialog->log, "clicked"), 2);
  EXPECT_EQ(Count(dialog->log, "double 3004"), 1);
}

TEST_F(QtTest, KeysAreSeenByTheDialogFirstAndReturnNeverReachesTheEdit) {
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

  // The space bar clicks the button with the focus.
  WidgetOf(*dialog->GetDlgItem(IDC_QT_BUTTON))->setFocus();
  QTest::keyClick(window, Qt::Key_Space);
  EXPECT_EQ(Count(dialog->log, "clicked"), 1);
  EXPECT_EQ(Count(dialog->log, "keydown 3004 vk 32"), 1);

  // An arrow picks the next item of the combo box with the focus.
  auto* combo = dialog->GetDlgItemAs<ComboBox>(IDC_QT_LIST);
  combo->AddString("red");
  combo->AddString("green");
  combo->SetCurSel(0);
  WidgetOf(*combo)->setFocus();
  QTest::keyClick(window, Qt::Key_Down);
  EXPECT_EQ(combo->GetCurSel(), 1);
  EXPECT_EQ(Count(dialog->log, "picked green"), 1);
  EXPECT_EQ(WidgetAs<QComboBox>(*combo)->currentIndex(), 1);

  // Return runs the default button's command: the dialog took its values
  // and ended.
  KeyRecorder reached;
  WidgetOf(edit)->installEventFilter(&reached);
  WidgetOf(edit)->setFocus();
  QTest::keyClick(window, Qt::Key_X);
  QTest::keyClick(window, Qt::Key_Return);
  EXPECT_EQ(reached.keys, std::vector<int>{Qt::Key_X});
  EXPECT_EQ(dialog->result(), static_cast<int>(IDOK));
  EXPECT_FALSE(dialog->IsWindowVisible());
  EXPECT_FALSE(WidgetOf(*dialog)->isVisible());
}

TEST(QtKeyTest, KeysAreTheirWindowsVirtualKeys) {
  const std::pair<int, uint32_t> keys[] = {
      {Qt::Key_A, 'A'},           {Qt::Key_Z, 'Z'},
      {Qt::Key_7, '7'},           {Qt::Key_Escape, VK_ESCAPE},
      {Qt::Key_Enter, VK_RETURN}, {Qt::Key_Backtab, VK_TAB},
      {Qt::Key_Down, 0x28},       {Qt::Key_F5, 0x74},
      {Qt::Key_Eacute, 0},
  };
  for (const auto& [qt_key, virtual_key] : keys)
    EXPECT_EQ(VirtualKeyOf(QKeyEvent(QEvent::KeyPress, qt_key, Qt::NoModifier)), virtual_key)
        << qt_key;
}

}  // namespace
}  // namespace nuv::fw::qt::testing
