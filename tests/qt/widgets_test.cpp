// Windows and their widgets: kinds, places in pixels, mirrored state, the
// dialog font and text measurement.
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include "framework/button.h"
#include "framework/combo_box.h"
#include "framework/constants.h"
#include "framework/font.h"
#include "framework/qt/qt_fonts.h"
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

  const auto item = [&](uint32_t id) -> const Window& { return *dialog->GetDlgItem(id); };
  const std::pair<uint32_t, const char*> kinds[] = {
      {IDC_QT_GROUP, "QGroupBox"},      {IDC_QT_LABEL, "QLabel"},       {IDC_QT_EDIT, "QLineEdit"},
      {IDC_QT_READONLY, "QLineEdit"},   {IDC_QT_BUTTON, "QPushButton"}, {IDC_QT_CHECK, "QCheckBox"},
      {IDC_QT_LIST, "QComboBox"},       {IDC_QT_DROPDOWN, "QComboBox"}, {IDC_QT_CENTRED, "QLabel"},
      {IDC_QT_DISABLED, "QPushButton"}, {IDOK, "QPushButton"},          {IDCANCEL, "QPushButton"},
  };
  for (const auto& [id, kind] : kinds)
    ASSERT_TRUE(WidgetOf(item(id))->inherits(kind)) << id << " is no " << kind;

  auto* label = WidgetAs<QLabel>(item(IDC_QT_LABEL));
  EXPECT_EQ(label->text(), QStringLiteral("Source BIN File"));
  EXPECT_TRUE(label->testAttribute(Qt::WA_TransparentForMouseEvents));
  EXPECT_EQ(QFontInfo(label->font()).family().toStdString(), kUiFamily);
  EXPECT_EQ(label->font().pixelSize(), 11);
  EXPECT_TRUE(WidgetAs<QLabel>(item(IDC_QT_CENTRED))->alignment() & Qt::AlignHCenter);
  EXPECT_EQ(WidgetAs<QLabel>(item(IDC_QT_CENTRED))->frameShape(), QFrame::Box);
  EXPECT_FALSE(WidgetAs<QLineEdit>(item(IDC_QT_EDIT))->isReadOnly());
  EXPECT_TRUE(WidgetAs<QLineEdit>(item(IDC_QT_READONLY))->isReadOnly());
  EXPECT_FALSE(WidgetAs<QPushButton>(item(IDC_QT_BUTTON))->isDefault());
  EXPECT_TRUE(WidgetAs<QPushButton>(item(IDOK))->isDefault());
  EXPECT_FALSE(WidgetOf(item(IDC_QT_DISABLED))->isEnabled());
  EXPECT_EQ(WidgetAs<QGroupBox>(item(IDC_QT_GROUP))->title(), QStringLiteral("Frame"));
  EXPECT_FALSE(WidgetAs<QComboBox>(item(IDC_QT_LIST))->isEditable());
  EXPECT_TRUE(WidgetAs<QComboBox>(item(IDC_QT_DROPDOWN))->isEditable());
}

TEST_F(QtTest, WidgetsFollowWhatChangesInTheirWindows) {
  auto dialog = OpenDialog();
  Window& label = *dialog->GetDlgItem(IDC_QT_LABEL);
  label.SetWindowText("SDRAM Size:");
  EXPECT_EQ(WidgetAs<QLabel>(label)->text(), QStringLiteral("SDRAM Size:"));
  Window& edit = *dialog->GetDlgItem(IDC_QT_READONLY);
  edit.SetWindowText("2097152");
  EXPECT_EQ(WidgetAs<QLineEdit>(edit)->text(), QStringLiteral("2097152"));

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
  EXPECT_TRUE(WidgetAs<QCheckBox>(*check)->isChecked());
  check->SetCheck(0);
  EXPECT_FALSE(WidgetAs<QCheckBox>(*check)->isChecked());

  auto* combo = dialog->GetDlgItemAs<ComboBox>(IDC_QT_LIST);
  for (const char* colour : {"red", "green", "blue"})
    combo->AddString(colour);
  combo->SetCurSel(2);
  auto* list = WidgetAs<QComboBox>(*combo);
  ASSERT_EQ(list->count(), 3);
  EXPECT_EQ(list->itemText(1), QStringLiteral("green"));
  EXPECT_EQ(list->currentIndex(), 2);
  combo->ResetContent();
  EXPECT_EQ(list->count(), 0);
  auto* dropdown = dialog->GetDlgItemAs<ComboBox>(IDC_QT_DROPDOWN);
  dropdown->AddString("kernel");
  dropdown->SetCurSel(0);
  EXPECT_EQ(WidgetAs<QComboBox>(*dropdown)->currentText(), QStringLiteral("kernel"));

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
  auto* label = WidgetAs<QLabel>(*cell);
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->geometry(), QRect(20, 120, 36, 21));
  EXPECT_EQ(label->frameShadow(), QFrame::Sunken);
  EXPECT_TRUE(label->alignment() & Qt::AlignHCenter);
  EXPECT_TRUE(label->isVisible());

  Window* input = dialog->CreateControl(WindowKind::Edit, "", WS_VISIBLE | ES_AUTOHSCROLL,
                                        {60, 120, 160, 140}, 31000, WS_EX_CLIENTEDGE);
  auto* edit = WidgetAs<QLineEdit>(*input);
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

TEST_F(QtTest, TheDialogFontHasTheTemplatesBaseUnitsAndTextWrapsInWholeLines) {
  // Templates were laid out for 6 x 13 pixel base units: the average width
  // of the letters and the height of a line.
  const QFontMetrics metrics(DialogFont());
  const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  const double average = metrics.horizontalAdvance(letters) / 52.0;
  EXPECT_GE(average, 5.5);
  EXPECT_LE(average, 6.5);
  EXPECT_EQ(metrics.height(), 13);

  const Font font = ShellDialogFont();
  const Rect one = backend_.MeasureText(font, "Pre-Parse", {10, 20, 300, 20}, DT_CALCRECT);
  EXPECT_EQ(one, (Rect{10, 20, 10 + metrics.horizontalAdvance(QStringLiteral("Pre-Parse")), 33}));
  const std::string text =
      "It's only for experts, customers should not check it. It's only for experts.";
  const Rect wrapped = backend_.MeasureText(font, text, {0, 0, 200, 0}, DT_WORDBREAK | DT_CALCRECT);
  EXPECT_LE(wrapped.Width(), 200);
  EXPECT_GT(wrapped.Width(), 150);
  EXPECT_GE(wrapped.Height(), 2 * 13);
  EXPECT_EQ(wrapped.Height() % 13, 0);
  // Without word breaks the text stays on one line.
  const Rect single = backend_.MeasureText(font, text, {0, 0, 200, 0}, DT_CALCRECT);
  EXPECT_EQ(single.Height(), 13);
  EXPECT_GT(single.Width(), 200);
}

}  // namespace
}  // namespace nuv::fw::qt::testing
