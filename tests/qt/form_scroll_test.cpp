// The host's page inside a host window, a form that scrolls, dialogs that
// are placed and moved: screen coordinates mean the same to the framework
// and to Qt throughout.
#include <memory>

#include <QImage>
#include <QPixmap>
#include <QScrollBar>
#include <QTest>

#include "framework/constants.h"
#include "framework/qt/qt_widgets.h"
#include "framework/qt/render_check.h"
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

  // Where a window's client area is on the screen, to Qt.
  QPoint QtOrigin(const Window& window) const {
    QWidget* widget = WidgetOf(window);
    return widget != nullptr ? widget->mapToGlobal(QPoint(0, 0)) : QPoint(-1, -1);
  }
  static QPoint Origin(const Window& window) {
    const Rect r = window.GetWindowRect();
    return {r.left, r.top};
  }
  FormWidget* Form() const { return dynamic_cast<FormWidget*>(WidgetOf(*form_)); }

  QWidget host_;
  TestForm* form_ = nullptr;  // kept by the page
};

TEST_F(PageTest, ThePageIsWhereItsAreaIsOnTheScreen) {
  const Window& page = *app_.page();
  EXPECT_EQ(Origin(page), QtOrigin(page));
  EXPECT_EQ(page.rect().Width(), 400);
  EXPECT_EQ(page.rect().Height(), 300);
  // The form fills the page as its first pane.
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
  FormWidget* form = Form();
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

TEST_F(PageTest, ADialogOpensOverItsOwnerAndTheFrameworkKnowsWhere) {
  auto dialog = std::make_unique<RecordingDialog>();
  ASSERT_TRUE(dialog->Create(form_));
  dialog->ShowWindow(SW_SHOW);
  QWidget* widget = WidgetOf(*dialog);
  ASSERT_NE(widget, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(widget));
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
}

TEST_F(PageTest, APictureOfTheHostIsCheckedWithoutTheDialogsItOwns) {
  auto dialog = std::make_unique<RecordingDialog>();
  ASSERT_TRUE(dialog->Create(form_));
  dialog->ShowWindow(SW_SHOW);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(WidgetOf(*dialog)));
  // The dialog's widgets are Qt children of the host's window, but not in
  // its picture; the form's own texts are.
  const QImage image = host_.grab().toImage();
  EXPECT_EQ(FindUnrenderedTexts(host_, image), std::vector<std::string>{});
  const QImage dialog_image = WidgetOf(*dialog)->grab().toImage();
  EXPECT_EQ(FindUnrenderedTexts(*WidgetOf(*dialog), dialog_image), std::vector<std::string>{});
  WidgetOf(*form_->GetDlgItem(IDC_QT_TOP))->setStyleSheet(QStringLiteral("color: #f0f0f0"));
  EXPECT_EQ(FindUnrenderedTexts(host_, host_.grab().toImage()),
            std::vector<std::string>{"\"Top\" (QLabel) did not render"});
}

TEST_F(PageTest, TheCloseButtonCancelsADialog) {
  auto dialog = std::make_unique<RecordingDialog>();
  ASSERT_TRUE(dialog->Create(form_));
  dialog->ShowWindow(SW_SHOW);
  QWidget* widget = WidgetOf(*dialog);
  ASSERT_NE(widget, nullptr);
  widget->close();
  EXPECT_EQ(dialog->result(), static_cast<int>(IDCANCEL));
  EXPECT_TRUE(dialog->IsWindow());
  EXPECT_FALSE(dialog->IsWindowVisible());
  EXPECT_FALSE(widget->isVisible());
}

}  // namespace
}  // namespace nuv::fw::qt::testing
