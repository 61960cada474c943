#include "framework/dialog.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/button.h"
#include "framework/combo_box.h"
#include "framework/form_view.h"
#include "framework/message_map.h"
#include "framework/user_input.h"
#include "framework/window_ref.h"
#include "framework_fixture.h"
#include "test_dialogs.h"

namespace nuv::fw {
namespace {

// Records its life, and offers handlers that destroy windows.
class Recorder : public Dialog {
 public:
  explicit Recorder(std::vector<std::string>& log, uint32_t template_id = IDD_PROBE)
      : Dialog(template_id), log_(log) {}
  ~Recorder() override {
    log_.push_back("deleted");
    DestroyWindow();
  }

  const MessageMap& GetMessageMap() const override {
    static const MessageMap map(&Dialog::ClassMessageMap(),
                                {
                                    OnClicked(IDC_GO, &Recorder::Go),
                                    OnClicked(IDC_OUTSIDE_RANGE, &Recorder::DestroySelf),
                                    OnClicked(IDC_LAST_OF_RANGE, &Recorder::DestroyButton),
                                });
    return map;
  }

 protected:
  bool OnInitDialog() override {
    log_.push_back("init with " + std::to_string(children().size()) + " controls");
    return Dialog::OnInitDialog();
  }
  void OnDestroy() override {
    log_.push_back("destroy, controls left " + std::to_string(children().size()));
  }
  void PostNcDestroy() override { log_.push_back("gone"); }

 private:
  void Go() { log_.push_back("go"); }
  void DestroySelf() {
    DestroyWindow();
    log_.push_back(IsWindow() ? "still there" : "handler ran on");
  }
  void DestroyButton() { GetDlgItem(IDC_LAST_OF_RANGE)->DestroyWindow(); }

  std::vector<std::string>& log_;
};

using DialogTest = testing::FrameworkTest;

TEST_F(DialogTest, IsMadeFromItsTemplateInPixelsWithTheDialogFont) {
  std::vector<std::string> log;
  Recorder dialog(log);
  ASSERT_TRUE(dialog.Create(nullptr));
  EXPECT_EQ(log, (std::vector<std::string>{"init with 14 controls"}));
  EXPECT_EQ(dialog.GetWindowText(), "Probe");
  EXPECT_EQ(dialog.kind(), WindowKind::Dialog);
  // The client area starts at the screen's origin; 200 x 120 dialog units.
  EXPECT_EQ(dialog.GetWindowRect(), (Rect{0, 0, 300, 195}));
  EXPECT_FALSE(dialog.IsWindowVisible());  // no WS_VISIBLE in the template
  const Window* edit = dialog.GetDlgItem(IDC_TEXT);
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->kind(), WindowKind::Edit);
  EXPECT_EQ(edit->rect(), (Rect{75, 20, 165, 42}));  // 50,12,60,14 du
  EXPECT_EQ(edit->GetFont(), ShellDialogFont());
  EXPECT_FALSE(dialog.GetDlgItem(22)->IsWindowEnabled());
  EXPECT_NE(dialog.GetDlgItemAs<ComboBox>(IDC_CHOICE), nullptr);
  EXPECT_EQ(dialog.GetDlgItemAs<ComboBox>(IDC_TEXT), nullptr);
  EXPECT_FALSE(dialog.Create(nullptr));  // only once
}

TEST_F(DialogTest, ATemplateThatIsNotThereMakesNoWindow) {
  Dialog dialog(4242);
  EXPECT_FALSE(dialog.Create(nullptr));
  EXPECT_FALSE(dialog.IsWindow());
}

TEST_F(DialogTest, ATemplateWithWsVisibleIsShownAfterItsInitialisation) {
  Dialog dialog(IDD_SHOWN);
  ASSERT_TRUE(dialog.Create(nullptr));
  EXPECT_TRUE(dialog.IsWindowVisible());
  EXPECT_EQ(Appearances(), (std::vector<std::string>{"open Dialog Shown"}));
}

TEST_F(DialogTest, CancelButtonEscapeAndEndDialogHideTheDialogAndKeepIt) {
  std::vector<std::string> log;
  Recorder dialog(log);
  ASSERT_TRUE(dialog.Create(nullptr));
  dialog.ShowWindow(SW_SHOW);
  UserClick(*dialog.GetDlgItem(IDCANCEL));
  EXPECT_FALSE(dialog.IsWindowVisible());
  EXPECT_TRUE(dialog.IsWindow());
  EXPECT_EQ(dialog.result(), static_cast<int>(IDCANCEL));

  dialog.ShowWindow(SW_SHOW);
  UserPressKey(*dialog.GetDlgItem(IDC_TEXT), VK_ESCAPE);  // the dialog sees it first
  EXPECT_FALSE(dialog.IsWindowVisible());

  dialog.ShowWindow(SW_SHOW);
  UserPressKey(dialog, VK_SHIFT);  // any other key does nothing
  EXPECT_TRUE(dialog.IsWindowVisible());

  dialog.EndDialog(5);
  EXPECT_FALSE(dialog.IsWindowVisible());
  EXPECT_EQ(dialog.result(), 5);
  EXPECT_EQ(Appearances(),
            (std::vector<std::string>{"open Dialog Probe", "close Dialog", "open Dialog Probe",
                                      "close Dialog", "open Dialog Probe", "close Dialog"}));
}

TEST_F(DialogTest, ReturnPressesTheDefaultButton) {
  std::vector<std::string> log;
  Recorder dialog(log);
  ASSERT_TRUE(dialog.Create(nullptr));
  dialog.ShowWindow(SW_SHOW);
  UserPressKey(*dialog.GetDlgItem(IDC_SIGNED), VK_RETURN);
  EXPECT_EQ(log.back(), "go");
  EXPECT_TRUE(dialog.IsWindowVisible());
}

TEST_F(DialogTest, DestroyingTellsTheObjectAndItsHandlesButLeavesTheObject) {
  std::vector<std::string> log;
  Recorder dialog(log);
  ASSERT_TRUE(dialog.Create(nullptr));
  const WindowRef<Recorder> handle(&dialog);
  const WindowRef<> edit(dialog.GetDlgItem(IDC_TEXT));
  ASSERT_TRUE(handle);
  ASSERT_TRUE(edit);
  EXPECT_TRUE(dialog.DestroyWindow());
  EXPECT_FALSE(dialog.IsWindow());
  EXPECT_FALSE(handle);
  EXPECT_FALSE(edit);
  EXPECT_TRUE(dialog.children().empty());
  EXPECT_EQ(log, (std::vector<std::string>{"init with 14 controls", "destroy, controls left 14",
                                           "gone"}));
  EXPECT_FALSE(dialog.DestroyWindow());
  // The object can make its window again.
  EXPECT_TRUE(dialog.Create(nullptr));
  EXPECT_FALSE(handle);  // an old handle stays empty
}

TEST_F(DialogTest, AHandlerMayDestroyItsOwnWindowOrTheControlThatCalledIt) {
  std::vector<std::string> log;
  Recorder dialog(log);
  ASSERT_TRUE(dialog.Create(nullptr));
  dialog.ShowWindow(SW_SHOW);
  const WindowRef<> button(dialog.GetDlgItem(IDC_LAST_OF_RANGE));
  UserClick(*button.get());
  EXPECT_FALSE(button);
  EXPECT_EQ(dialog.GetDlgItem(IDC_LAST_OF_RANGE), nullptr);

  UserClick(*dialog.GetDlgItem(IDC_OUTSIDE_RANGE));
  EXPECT_FALSE(dialog.IsWindow());
  EXPECT_EQ(log.back(), "handler ran on");
}

TEST_F(DialogTest, AnOwnerTakesItsOwnedDialogsDownWithIt) {
  std::vector<std::string> log;
  Dialog owner(IDD_SHOWN);
  ASSERT_TRUE(owner.Create(nullptr));
  auto owned = std::make_unique<Recorder>(log);
  ASSERT_TRUE(owned->Create(&owner));
  EXPECT_EQ(owned->GetOwner(), &owner);
  EXPECT_EQ(owned->GetParent(), &owner);
  EXPECT_TRUE(owned->IsTopLevel());
  const WindowRef<> handle(owned.get());

  owner.DestroyWindow();
  EXPECT_FALSE(handle);
  EXPECT_FALSE(owned->IsWindow());
  EXPECT_EQ(log.back(), "gone");
  owned.reset();
  EXPECT_EQ(log.back(), "deleted");
}

TEST_F(DialogTest, AnAdoptedObjectIsDeletedAfterItsKeepersWindowGoes) {
  std::vector<std::string> log;
  Dialog keeper(IDD_SHOWN);
  ASSERT_TRUE(keeper.Create(nullptr));
  auto adopted = std::make_unique<Recorder>(log);
  ASSERT_TRUE(adopted->Create(&keeper));
  keeper.Adopt(std::move(adopted));

  keeper.DestroyWindow();
  EXPECT_EQ(log.back(), "gone");  // destroyed with its owner; deleted later
  app_.Flush();
  EXPECT_EQ(log.back(), "deleted");
}

TEST_F(DialogTest, AnAdoptedObjectWhoseWindowIsDestroyedIsDeletedWhenTheCommandEnds) {
  std::vector<std::string> log;
  Dialog keeper(IDD_SHOWN);
  ASSERT_TRUE(keeper.Create(nullptr));
  auto adopted = std::make_unique<Recorder>(log);
  ASSERT_TRUE(adopted->Create(&keeper));
  adopted->ShowWindow(SW_SHOW);
  Window* button = adopted->GetDlgItem(IDC_OUTSIDE_RANGE);
  keeper.Adopt(std::move(adopted));

  UserClick(*button);  // the handler destroys its own window
  EXPECT_EQ(log.back(), "deleted");
  EXPECT_TRUE(keeper.IsWindow());
}

class Pane : public FormView {
 public:
  Pane() : FormView(IDD_PANE) {}
  void DoDataExchange(DataExchange&) override { ++exchanges; }
  int exchanges = 0;
};

TEST_F(DialogTest, AFormViewIsTheHostPagesPaneAndFillsIt) {
  Window& page = app_.CreatePage();
  EXPECT_EQ(page.GetWindowRect(), (Rect{0, 0, 800, 600}));
  auto pane = std::make_unique<Pane>();
  ASSERT_TRUE(
      pane->Create(WS_CHILD | WS_VISIBLE | WS_BORDER, {0, 0, 0, 0}, &page, AFX_IDW_PANE_FIRST));
  Pane* form = pane.get();
  page.Adopt(std::move(pane));
  EXPECT_EQ(form->exchanges, 1);  // its initial update filled the controls
  EXPECT_EQ(form->GetParent(), &page);
  EXPECT_TRUE(form->IsWindowVisible());
  EXPECT_EQ(form->GetStyle() & (WS_CHILD | WS_BORDER), WS_CHILD | WS_BORDER);
  EXPECT_NE(form->GetDlgItem(IDC_TEXT), nullptr);

  app_.LayoutPage();
  EXPECT_EQ(form->GetWindowRect(), (Rect{0, 0, 800, 600}));

  const WindowRef<> handle(form);
  app_.DestroyPage();
  EXPECT_FALSE(handle);
}

}  // namespace
}  // namespace nuv::fw
