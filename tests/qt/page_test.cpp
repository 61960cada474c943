// The host's page inside a host window, a form that scrolls and an area in it
// that scrolls its controls, dialogs that are placed and moved (screen
// coordinates mean the same to the framework and to Qt throughout),
// custom-painted pop-ups and window timers.
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <QScrollBar>
#include <QTest>

#include "framework/constants.h"
#include "framework/painter.h"
#include "framework/popup_window.h"
#include "framework/qt/qt_widgets.h"
#include "framework/qt/render_check.h"
#include "framework/scroll_area.h"
#include "framework/window.h"
#include "qt_fixture.h"

namespace nuv::fw::qt::testing {
namespace {

class PageTest : public QtTest {
 protected:
  PageTest() {
    host_.resize(400, 300);
    backend_.SetPageArea(&host_);
    Window& page = app_.CreatePage();
    auto form = std::make_unique<TestForm>();
    form_ = form.get();
    EXPECT_TRUE(
        form->Create(WS_CHILD | WS_VISIBLE | WS_BORDER, {0, 0, 0, 0}, &page, AFX_IDW_PANE_FIRST));
    page.Adopt(std::move(form));
    app_.LayoutPage();
    host_.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&host_));
    Wait(20);
  }
  ~PageTest() override { app_.DestroyPage(); }

  // Where a window's client area is on the screen, to the framework and to Qt.
  static QPoint Origin(const Window& window) {
    const Rect r = window.GetWindowRect();
    return {r.left, r.top};
  }
  QPoint QtOrigin(const Window& window) const {
    QWidget* widget = WidgetOf(window);
    return widget != nullptr ? widget->mapToGlobal(QPoint(0, 0)) : QPoint(-1, -1);
  }

  QWidget host_;
  TestForm* form_ = nullptr;  // kept by the page
};

TEST_F(PageTest, ThePageIsWhereItsAreaIsOnTheScreenAndTheFormFillsIt) {
  const Window& page = *app_.page();
  EXPECT_EQ(Origin(page), QtOrigin(page));
  EXPECT_EQ(form_->rect(), (Rect{0, 0, 400, 300}));
  host_.move(50, 60);
  Wait(20);
  EXPECT_EQ(Origin(page), QtOrigin(page));
  host_.resize(420, 320);
  Wait(20);
  EXPECT_EQ(form_->rect(), (Rect{0, 0, 420, 320}));
  Window& bottom = *form_->GetDlgItem(IDC_QT_BOTTOM);
  EXPECT_EQ(Origin(bottom), QtOrigin(bottom));
}

TEST_F(PageTest, AFormTallerThanThePageScrollsItsControls) {
  auto* form = dynamic_cast<FormWidget*>(WidgetOf(*form_));
  ASSERT_NE(form, nullptr);
  // 400 dialog units are 650 pixels, 350 more than the page shows.
  QScrollBar& bar = form->scroll_bar();
  EXPECT_TRUE(bar.isVisible());
  EXPECT_EQ(bar.maximum(), 350);

  Window& top = *form_->GetDlgItem(IDC_QT_TOP);
  Window& bottom = *form_->GetDlgItem(IDC_QT_BOTTOM);
  EXPECT_EQ(bottom.rect().top, 601);
  bar.setValue(100);
  EXPECT_EQ(bottom.rect().top, 501);
  EXPECT_EQ(top.rect().top, 16 - 100);
  EXPECT_EQ(WidgetOf(bottom)->geometry().top(), 501);
  EXPECT_EQ(Origin(bottom), QtOrigin(bottom));

  // Controls made while scrolled sit where they are put and scroll along.
  Window* made = form_->CreateControl(WindowKind::Button, "Made", WS_VISIBLE, {10, 40, 80, 60}, 7);
  ASSERT_NE(made, nullptr);
  bar.setValue(0);
  EXPECT_EQ(made->rect().top, 140);
  EXPECT_EQ(WidgetOf(*made)->geometry().top(), 140);

  // A page tall enough needs no bar, and the contents go back to their place.
  bar.setValue(350);
  host_.resize(400, 700);
  Wait(20);
  EXPECT_FALSE(bar.isVisible());
  EXPECT_EQ(bottom.rect().top, 601);
  EXPECT_EQ(top.rect().top, 16);
}

TEST_F(PageTest, AnAreaScrollsItsControlsByItsOwnBarAndHidesThoseOutsideIt) {
  ScrollArea area;
  ASSERT_TRUE(area.Create({10, 60, 210, 120}, form_, 60));
  area.SetLineHeight(20);
  std::vector<Window*> rows;
  for (int n = 0; n < 5; ++n)
    rows.push_back(area.CreateControl(WindowKind::Static, "Row " + std::to_string(n), WS_VISIBLE,
                                      {0, 20 * n, 150, 20 * n + 20}, 70 + n));
  auto* shown = dynamic_cast<ScrollAreaWidget*>(WidgetOf(area));
  ASSERT_NE(shown, nullptr);
  QScrollBar& bar = shown->scroll_bar();
  EXPECT_FALSE(bar.isVisible());
  area.SetContentHeight(100);
  EXPECT_TRUE(bar.isVisible());
  EXPECT_EQ(bar.maximum(), 40);

  // The user's bar scrolls the framework's area, and the other way round.
  bar.setValue(40);
  EXPECT_EQ(area.scroll_pos(), 40);
  EXPECT_EQ(rows[4]->rect().top, 40);
  EXPECT_EQ(WidgetOf(*rows[4])->geometry().top(), 40);
  area.ScrollTo(20);
  EXPECT_EQ(bar.value(), 20);

  // Rows 0 and 4 lie outside the area now, where the page shows no text.
  Wait(20);
  EXPECT_EQ(FindUnrenderedTexts(host_, host_.grab().toImage()), std::vector<std::string>{});
}

TEST_F(PageTest, ADialogOpensOverItsOwnerWhereTheFrameworkKnowsAndItsCloseButtonCancels) {
  auto dialog = OpenDialog(form_);
  QWidget* widget = WidgetOf(*dialog);
  ASSERT_NE(widget, nullptr);
  // Its window starts at its owner's client origin, as Win32 places it.
  EXPECT_EQ(widget->frameGeometry().topLeft(), QtOrigin(*form_));
  EXPECT_EQ(Origin(*dialog), widget->geometry().topLeft());
  // Moved by the program, or by the user: both agree afterwards.
  dialog->MoveWindow({200, 150, 500, 345});
  EXPECT_EQ(widget->geometry(), QRect(200, 150, 300, 195));
  widget->move(120, 80);
  Wait(20);
  EXPECT_EQ(Origin(*dialog), widget->geometry().topLeft());
  Window& button = *dialog->GetDlgItem(IDC_QT_BUTTON);
  EXPECT_EQ(Origin(button), QtOrigin(button));

  widget->close();
  EXPECT_EQ(dialog->result(), static_cast<int>(IDCANCEL));
  EXPECT_TRUE(dialog->IsWindow());
  EXPECT_FALSE(dialog->IsWindowVisible());
  EXPECT_FALSE(widget->isVisible());
}

TEST_F(PageTest, APictureOfTheHostIsCheckedWithoutTheDialogsItOwns) {
  auto dialog = OpenDialog(form_);
  // The dialog's widgets are Qt children of the host's window, but not in
  // its picture; the form's own texts are.
  EXPECT_EQ(FindUnrenderedTexts(host_, host_.grab().toImage()), std::vector<std::string>{});
  QWidget* shown = WidgetOf(*dialog);
  EXPECT_EQ(FindUnrenderedTexts(*shown, shown->grab().toImage()), std::vector<std::string>{});
  WidgetOf(*form_->GetDlgItem(IDC_QT_TOP))->setStyleSheet(QStringLiteral("color: #f0f0f0"));
  EXPECT_EQ(FindUnrenderedTexts(host_, host_.grab().toImage()),
            std::vector<std::string>{"\"Top\" (QLabel) did not render"});
}

// Paints as a balloon tip does: fill, frame, text inside the margins.
class TextPopup : public PopupWindow {
 public:
  void OnPaint(Painter& painter) override {
    const Rect client = GetClientRect();
    painter.FillRect(client, RGB(187, 247, 172));
    painter.FrameRect(client);
    Rect text{client.left + 2, client.top + 2, client.right - 3, client.bottom - 3};
    painter.DrawText("Select a flash binary file for edit.", text,
                     DT_WORDBREAK | DT_EXPANDTABS | DT_EXTERNALLEADING | DT_NOPREFIX,
                     ShellDialogFont(), RGB(0, 0, 0));
  }
};

TEST_F(QtTest, APopupShowsWhereItIsPutPaintsItselfAndLeavesTheFocusAlone) {
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
  EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::black));
  EXPECT_EQ(image.pixelColor(image.width() - 2, image.height() - 2), QColor(187, 247, 172));
  EXPECT_GT(DarkPixelCount(image, image.rect().adjusted(3, 3, -3, -3)), 20);
  popup.Hide();
  EXPECT_FALSE(widget->isVisible());
}

TEST_F(QtTest, TimersTakeTheLastPeriodSetFireUntilKilledAndGoWithTheirWindow) {
  auto dialog = OpenDialog();
  int fired = 0;
  dialog->on_timer = [&](uint32_t id) {
    EXPECT_EQ(id, 1u);
    if (++fired == 3)
      dialog->KillTimer(1);
  };
  ASSERT_TRUE(dialog->SetTimer(1, 60000));
  ASSERT_TRUE(dialog->SetTimer(1, 20));
  // Three rounds of the new period, long before the old one's first.
  ASSERT_TRUE(WaitUntil([&] { return fired >= 3; }));
  Wait(100);  // killed: no more
  EXPECT_EQ(fired, 3);
  EXPECT_FALSE(dialog->KillTimer(1));

  dialog->SetTimer(1, 20);
  dialog->DestroyWindow();
  Wait(100);
  EXPECT_EQ(fired, 3);
}

}  // namespace
}  // namespace nuv::fw::qt::testing
