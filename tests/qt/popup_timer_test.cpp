// Custom-painted pop-ups that never take the focus, and window timers.
#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <QTest>

#include "framework/constants.h"
#include "framework/painter.h"
#include "framework/popup_window.h"
#include "framework/qt/render_check.h"
#include "framework/window.h"
#include "qt_fixture.h"

namespace nuv::fw::qt::testing {
namespace {

constexpr ColorRef kTipGreen = RGB(187, 247, 172);

// Paints as a balloon tip does: fill, frame, text inside the margins.
class TextPopup : public PopupWindow {
 public:
  void OnPaint(Painter& painter) override {
    const Rect client = GetClientRect();
    painter.FillRect(client, kTipGreen);
    painter.FrameRect(client);
    Rect text{client.left + 2, client.top + 2, client.right - 3, client.bottom - 3};
    painter.DrawText("Select a flash binary file for edit.", text,
                     DT_WORDBREAK | DT_EXPANDTABS | DT_EXTERNALLEADING | DT_NOPREFIX,
                     ShellDialogFont(), RGB(0, 0, 0));
    ++paints;
  }
  int paints = 0;
};

TEST_F(QtTest, APopupShowsWhereItIsPutAndLeavesTheFocusAlone) {
  auto dialog = OpenDialog();
  QWidget* edit = WidgetOf(*dialog->GetDlgItem(IDC_QT_EDIT));
  edit->activateWindow();
  edit->setFocus();
  QTest::qWait(20);
  ASSERT_EQ(QApplication::focusWidget(), edit);

  TextPopup popup;
  ASSERT_TRUE(popup.Create(dialog.get()));
  QWidget* widget = WidgetOf(popup);
  ASSERT_NE(widget, nullptr);
  EXPECT_FALSE(widget->isVisible());
  popup.ShowAt({400, 300, 600, 340});
  ASSERT_TRUE(QTest::qWaitForWindowExposed(widget));
  EXPECT_TRUE(widget->isWindow());
  EXPECT_EQ(widget->geometry(), QRect(400, 300, 200, 40));
  EXPECT_EQ(popup.GetWindowRect(), (Rect{400, 300, 600, 340}));
  EXPECT_TRUE(widget->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
  EXPECT_TRUE(widget->testAttribute(Qt::WA_ShowWithoutActivating));
  EXPECT_EQ(QApplication::focusWidget(), edit);

  // Painted by the window itself: its colour, a black frame, its text.
  const QImage image = widget->grab().toImage();
  EXPECT_GT(popup.paints, 0);
  EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::black));
  EXPECT_EQ(image.pixelColor(image.width() - 2, image.height() - 2), QColor(187, 247, 172));
  EXPECT_GT(DarkPixelCount(image, image.rect().adjusted(3, 3, -3, -3)), 20);

  popup.Hide();
  EXPECT_FALSE(widget->isVisible());
}

TEST_F(QtTest, TimersFireUntilKilled) {
  auto dialog = OpenDialog();
  int fired = 0;
  dialog->on_timer = [&](uint32_t id) {
    EXPECT_EQ(id, 1u);
    if (++fired == 3)
      dialog->KillTimer(1);
  };
  ASSERT_TRUE(dialog->SetTimer(1, 20));
  ASSERT_TRUE(WaitUntil([&] { return fired >= 3; }));
  Wait(100);  // killed: no more
  EXPECT_EQ(fired, 3);
  EXPECT_FALSE(dialog->KillTimer(1));
}

TEST_F(QtTest, SettingATimerAgainTakesTheNewPeriod) {
  auto dialog = OpenDialog();
  int fired = 0;
  dialog->on_timer = [&](uint32_t) { ++fired; };
  dialog->SetTimer(2, 60000);
  dialog->SetTimer(2, 20);
  // Three rounds of the new period, long before the old one's first.
  EXPECT_TRUE(WaitUntil([&] { return fired >= 3; }));
  EXPECT_TRUE(dialog->KillTimer(2));
}

TEST_F(QtTest, TimersGoWithTheirWindow) {
  auto dialog = OpenDialog();
  int fired = 0;
  dialog->on_timer = [&](uint32_t) { ++fired; };
  dialog->SetTimer(1, 20);
  dialog->DestroyWindow();
  Wait(100);
  EXPECT_EQ(fired, 0);
}

}  // namespace
}  // namespace nuv::fw::qt::testing
