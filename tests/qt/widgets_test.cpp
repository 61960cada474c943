// Windows and their widgets: kinds, places in pixels, mirrored state.
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include "framework/button.h"
#include "framework/combo_box.h"
#include "framework/constants.h"
#include "framework/window.h"
#include "qt_fixture.h"

namespace nuv::fw::qt::testing {
namespace {

QRect ToQRect(const Rect& r) {
  return QRect(r.left, r.top, r.Width(), r.Height());
}

TEST_F(QtTest, EveryControlGetsAWidgetOfItsKindAtItsTemplatePlace) {
  auto dialog = OpenDialog();
  QWidget* top = WidgetOf(*dialog);
  ASSERT_NE(top, nullptr);
  // 200 x 120 dialog units: 1.5 and 1.625 pixels each.
  EXPECT_EQ(top->size(), QSize(300, 195));
  EXPECT_EQ(top->windowTitle(), QStringLiteral("Qt Dialog"));

  // "Press" at 150, 16, 40, 14: each edge converted on its own and rounded.
  EXPECT_EQ(WidgetOf(*dialog->GetDlgItem(IDC_QT_BUTTON))->geometry(), QRect(225, 26, 60, 23));
  for (const Window* control : dialog->children()) {
    QWidget* widget = WidgetOf(*control);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->parentWidget(), top);
    const QRect expected = ToQRect(control->rect());
    if (control->kind() == WindowKind::ComboBox) {
      // Its rectangle holds the drop-down list; the box is one line high.
      EXPECT_EQ(widget->geometry().topLeft(), expected.topLeft());
      EXPECT_EQ(widget->width(), expected.width());
      EXPECT_LT(widget->height(), expected.height());
    } else {
      EXPECT_EQ(widget->geometry(), expected) << control->GetDlgCtrlID();
    }
  }

  auto* label = qobject_cast<QLabel*>(WidgetOf(*dialog->GetDlgItem(IDC_QT_LABEL)));
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->text(), QStringLiteral("Source BIN File"));
  EXPECT_TRUE(label->testAttribute(Qt::WA_TransparentForMouseEvents));
  auto* centred = qobject_cast<QLabel*>(WidgetOf(*dialog->GetDlgItem(IDC_QT_CENTRED)));
  ASSERT_NE(centred, nullptr);
  EXPECT_TRUE(centred->alignment() & Qt::AlignHCenter);
  EXPECT_EQ(centred->frameShape(), QFrame::Box);

  auto* edit = qobject_cast<QLineEdit*>(WidgetOf(*dialog->GetDlgItem(IDC_QT_EDIT)));
  auto* read_only = qobject_cast<QLineEdit*>(WidgetOf(*dialog->GetDlgItem(IDC_QT_READONLY)));
  ASSERT_NE(edit, nullptr);
  ASSERT_NE(read_only, nullptr);
  EXPECT_FALSE(edit->isReadOnly());
  EXPECT_TRUE(read_only->isReadOnly());

  auto* press = qobject_cast<QPushButton*>(WidgetOf(*dialog->GetDlgItem(IDC_QT_BUTTON)));
  auto* ok = qobject_cast<QPushButton*>(WidgetOf(*dialog->GetDlgItem(IDOK)));
  auto* disabled = qobject_cast<QPushButton*>(WidgetOf(*dialog->GetDlgItem(IDC_QT_DISABLED)));
  ASSERT_NE(press, nullptr);
  ASSERT_NE(ok, nullptr);
  ASSERT_NE(disabled, nullptr);
  EXPECT_FALSE(press->isDefault());
  EXPECT_TRUE(ok->isDefault());
  EXPECT_FALSE(disabled->isEnabled());

  EXPECT_NE(qobject_cast<QCheckBox*>(WidgetOf(*dialog->GetDlgItem(IDC_QT_CHECK))), nullptr);
  auto* group = qobject_cast<QGroupBox*>(WidgetOf(*dialog->GetDlgItem(IDC_QT_GROUP)));
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(group->title(), QStringLiteral("Frame"));
  auto* list = qobject_cast<QComboBox*>(WidgetOf(*dialog->GetDlgItem(IDC_QT_LIST)));
  auto* dropdown = qobject_cast<QComboBox*>(WidgetOf(*dialog->GetDlgItem(IDC_QT_DROPDOWN)));
  ASSERT_NE(list, nullptr);
  ASSERT_NE(dropdown, nullptr);
  EXPECT_FALSE(list->isEditable());
  EXPECT_TRUE(dropdown->isEditable());
}

TEST_F(QtTest, WidgetsFollowWhatChangesInTheirWindows) {
  auto dialog = OpenDialog();
  Window& label = *dialog->GetDlgItem(IDC_QT_LABEL);
  label.SetWindowText("SDRAM Size:");
  EXPECT_EQ(qobject_cast<QLabel*>(WidgetOf(label))->text(), QStringLiteral("SDRAM Size:"));
  Window& edit = *dialog->GetDlgItem(IDC_QT_READONLY);
  edit.SetWindowText("2097152");
  EXPECT_EQ(qobject_cast<QLineEdit*>(WidgetOf(edit))->text(), QStringLiteral("2097152"));

  Window& button = *dialog->GetDlgItem(IDC_QT_BUTTON);
  button.ShowWindow(SW_HIDE);
  EXPECT_FALSE(WidgetOf(button)->isVisible());
  button.ShowWindow(SW_SHOW);
  EXPECT_TRUE(WidgetOf(button)->isVisible());
  button.EnableWindow(false);
  EXPECT_FALSE(WidgetOf(button)->isEnabled());
  button.MoveWindow({5, 6, 65, 30});
  EXPECT_EQ(WidgetOf(button)->geometry(), QRect(5, 6, 60, 24));

  auto* check = dialog->GetDlgItemAs<Button>(IDC_QT_CHECK);
  check->SetCheck(1);
  EXPECT_TRUE(qobject_cast<QCheckBox*>(WidgetOf(*check))->isChecked());
  check->SetCheck(0);
  EXPECT_FALSE(qobject_cast<QCheckBox*>(WidgetOf(*check))->isChecked());

  auto* combo = dialog->GetDlgItemAs<ComboBox>(IDC_QT_LIST);
  combo->AddString("red");
  combo->AddString("green");
  combo->AddString("blue");
  combo->SetCurSel(2);
  auto* list = qobject_cast<QComboBox*>(WidgetOf(*combo));
  ASSERT_EQ(list->count(), 3);
  EXPECT_EQ(list->itemText(1), QStringLiteral("green"));
  EXPECT_EQ(list->currentIndex(), 2);
  combo->ResetContent();
  EXPECT_EQ(list->count(), 0);

  auto* dropdown = dialog->GetDlgItemAs<ComboBox>(IDC_QT_DROPDOWN);
  dropdown->AddString("kernel");
  dropdown->SetCurSel(0);
  EXPECT_EQ(qobject_cast<QComboBox*>(WidgetOf(*dropdown))->currentText(), QStringLiteral("kernel"));

  dialog->SetWindowText("Renamed");
  EXPECT_EQ(WidgetOf(*dialog)->windowTitle(), QStringLiteral("Renamed"));
  dialog->ShowWindow(SW_HIDE);
  EXPECT_FALSE(WidgetOf(*dialog)->isVisible());
}

TEST_F(QtTest, ControlsMadeAtRunTimeUseTheirStyleAndPixels) {
  auto dialog = OpenDialog();
  // As the block grid's cells are made: centred, sunken, in pixels.
  Window* cell = dialog->CreateControl(
      WindowKind::Static, "0x0A", WS_VISIBLE | SS_SUNKEN | SS_CENTER, {20, 120, 56, 141}, 10000);
  ASSERT_NE(cell, nullptr);
  auto* label = qobject_cast<QLabel*>(WidgetOf(*cell));
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->geometry(), QRect(20, 120, 36, 21));
  EXPECT_EQ(label->frameShadow(), QFrame::Sunken);
  EXPECT_TRUE(label->alignment() & Qt::AlignHCenter);
  EXPECT_TRUE(label->isVisible());

  Window* input = dialog->CreateControl(WindowKind::Edit, "", WS_VISIBLE | ES_AUTOHSCROLL,
                                        {60, 120, 160, 140}, 31000, WS_EX_CLIENTEDGE);
  ASSERT_NE(input, nullptr);
  auto* edit = qobject_cast<QLineEdit*>(WidgetOf(*input));
  ASSERT_NE(edit, nullptr);
  EXPECT_TRUE(edit->hasFrame());
  EXPECT_FALSE(edit->isReadOnly());
}

TEST_F(QtTest, DestroyedWindowsTakeTheirWidgetsAlong) {
  auto dialog = OpenDialog();
  QPointer<QWidget> top = WidgetOf(*dialog);
  QPointer<QWidget> button = WidgetOf(*dialog->GetDlgItem(IDC_QT_BUTTON));
  ASSERT_TRUE(dialog->DestroyWindow());
  EXPECT_TRUE(top == nullptr || !top->isVisible());
  EXPECT_EQ(backend_.WindowOf(top), nullptr);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(top, nullptr);
  EXPECT_EQ(button, nullptr);
  // The object lives on, uncreated, and can be made again.
  ASSERT_TRUE(dialog->Create(nullptr));
  EXPECT_NE(backend_.WidgetOf(*dialog), nullptr);
}

}  // namespace
}  // namespace nuv::fw::qt::testing
