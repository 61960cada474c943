// The dialog font, text measurement, and the check that finds texts that
// did not render.
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QPixmap>

#include "framework/constants.h"
#include "framework/font.h"
#include "framework/qt/qt_fonts.h"
#include "framework/qt/render_check.h"
#include "framework/window.h"
#include "qt_fixture.h"

namespace nuv::fw::qt::testing {
namespace {

TEST_F(QtTest, TheDialogFontIsAnInstalledFamilyWithTheTemplatesBaseUnits) {
  const QFontInfo info(DialogFont());
  EXPECT_EQ(info.family().toStdString(), kUiFamily);
  EXPECT_TRUE(QFontDatabase::families().contains(info.family()));

  // Templates were laid out for 6 x 13 pixel base units: the average width
  // of the letters and the height of a line.
  const QFontMetrics metrics(DialogFont());
  const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  const double average = metrics.horizontalAdvance(letters) / 52.0;
  EXPECT_GE(average, 5.5);
  EXPECT_LE(average, 6.5);
  EXPECT_EQ(metrics.height(), 13);
  // Widgets made from templates carry it.
  auto dialog = OpenDialog();
  QWidget* label = WidgetOf(*dialog->GetDlgItem(IDC_QT_LABEL));
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(QFontInfo(label->font()).family().toStdString(), kUiFamily);
  EXPECT_EQ(label->font().pixelSize(), 11);
}

TEST_F(QtTest, LabelsRenderTheirTextAndTheCheckNoticesOneThatDoesNot) {
  auto dialog = OpenDialog();
  QWidget* top = WidgetOf(*dialog);
  auto* label = qobject_cast<QLabel*>(WidgetOf(*dialog->GetDlgItem(IDC_QT_LABEL)));
  ASSERT_NE(top, nullptr);
  ASSERT_NE(label, nullptr);

  const QImage image = top->grab().toImage();
  const QRect area(label->mapTo(top, QPoint(0, 0)), label->size());
  EXPECT_GT(DarkPixelCount(image, area), 20);
  EXPECT_EQ(FindUnrenderedTexts(*top, image), std::vector<std::string>{});

  // The same label with its text drawn in the background's colour.
  QPalette invisible = label->palette();
  invisible.setColor(QPalette::WindowText, invisible.color(QPalette::Window));
  label->setPalette(invisible);
  const QImage blank = top->grab().toImage();
  EXPECT_EQ(DarkPixelCount(blank, area), 0);
  EXPECT_EQ(FindUnrenderedTexts(*top, blank),
            std::vector<std::string>{"\"Source BIN File\" (QLabel) did not render"});
}

TEST_F(QtTest, MeasuredTextWrapsAtTheWidthInWholeLines) {
  const Font font = ShellDialogFont();
  const QFontMetrics metrics(DialogFont());
  const Rect one = backend_.MeasureText(font, "Pre-Parse", {10, 20, 300, 20}, DT_CALCRECT);
  EXPECT_EQ(one, (Rect{10, 20, 10 + metrics.horizontalAdvance(QStringLiteral("Pre-Parse")), 33}));

  const std::string long_text =
      "It's only for experts, customers should not check it. It's only for experts.";
  const Rect wrapped =
      backend_.MeasureText(font, long_text, {0, 0, 200, 0}, DT_WORDBREAK | DT_CALCRECT);
  EXPECT_LE(wrapped.Width(), 200);
  EXPECT_GT(wrapped.Width(), 150);
  EXPECT_GE(wrapped.Height(), 2 * 13);
  EXPECT_EQ(wrapped.Height() % 13, 0);
  // Without word breaks the text stays on one line.
  const Rect single = backend_.MeasureText(font, long_text, {0, 0, 200, 0}, DT_CALCRECT);
  EXPECT_EQ(single.Height(), 13);
  EXPECT_GT(single.Width(), 200);
}

}  // namespace
}  // namespace nuv::fw::qt::testing
