// Windows and controls: state, flags, children, and what a user does to them.
#include "framework/window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/button.h"
#include "framework/combo_box.h"
#include "framework/message_map.h"
#include "framework/user_input.h"
#include "framework/window_ref.h"
#include "framework_fixture.h"

namespace nuv::fw {
namespace {

// Logs the notifications of its controls.
class Parent : public Window {
 public:
  const MessageMap& GetMessageMap() const override {
    static const MessageMap map(&Window::ClassMessageMap(),
                                {
                                    OnNotify(BN_CLICKED, 0, 0xFFFF, &Parent::Clicked),
                                    OnNotify(EN_CHANGE, 0, 0xFFFF, &Parent::Changed),
                                    OnNotify(CBN_SELCHANGE, 0, 0xFFFF, &Parent::Selected),
                                });
    return map;
  }
  std::vector<std::string> log;

 private:
  void Clicked(uint32_t id) { log.push_back("clicked " + std::to_string(id)); }
  void Changed(uint32_t id) { log.push_back("changed " + std::to_string(id)); }
  void Selected(uint32_t id) { log.push_back("selected " + std::to_string(id)); }
};

class WindowTest : public testing::FrameworkTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(parent_.CreateEx(0, WindowKind::Dialog, "parent", WS_POPUP | WS_VISIBLE,
                                 {0, 0, 400, 300}, nullptr, 0));
  }
  Parent parent_;
};

TEST_F(WindowTest, ControlsAreMadeAtRunTimeInPixelsAndFoundById) {
  Window* button = parent_.CreateControl(WindowKind::Button, "Go", WS_VISIBLE | BS_PUSHBUTTON,
                                         {150, 10, 400, 32}, 20000, WS_EX_STATICEDGE);
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->GetStyle(), WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON);
  EXPECT_EQ(button->GetExStyle(), WS_EX_STATICEDGE);
  EXPECT_EQ(button->rect(), (Rect{150, 10, 400, 32}));
  EXPECT_EQ(parent_.GetDlgItem(20000), button);
  EXPECT_EQ(parent_.GetDlgItem(20001), nullptr);
  EXPECT_NE(parent_.GetDlgItemAs<Button>(20000), nullptr);
  EXPECT_EQ(parent_.CreateControl(WindowKind::Dialog, "", 0, {}, 1), nullptr);  // not a control
  Window uncreated;
  EXPECT_EQ(uncreated.CreateControl(WindowKind::Edit, "", 0, {}, 1), nullptr);

  button->SetFont(Font{"MS Shell Dlg", 8});
  EXPECT_EQ(button->GetFont(), (Font{"MS Shell Dlg", 8}));
  button->MoveWindow({1, 2, 3, 4});
  EXPECT_EQ(button->rect(), (Rect{1, 2, 3, 4}));
}

TEST_F(WindowTest, FlagsTellWhatTheyWereAndVisibilityFollowsTheParents) {
  Window* edit = parent_.CreateControl(WindowKind::Edit, "", WS_VISIBLE, {0, 0, 9, 9}, 1);
  EXPECT_TRUE(edit->IsWindowVisible());
  EXPECT_TRUE(edit->ShowWindow(SW_HIDE));
  EXPECT_FALSE(edit->ShowWindow(SW_SHOW));
  EXPECT_FALSE(edit->EnableWindow(false));
  EXPECT_FALSE(edit->IsWindowEnabled());
  EXPECT_TRUE(edit->EnableWindow(true));
  parent_.ShowWindow(SW_HIDE);
  EXPECT_FALSE(edit->IsWindowVisible());  // its own flag is still set
  EXPECT_NE(edit->GetStyle() & WS_VISIBLE, 0u);
}

TEST_F(WindowTest, DestroyingAParentDestroysAndReleasesItsControls) {
  const WindowRef<> a(parent_.CreateControl(WindowKind::Static, "a", WS_VISIBLE, {}, 1));
  const WindowRef<> b(parent_.CreateControl(WindowKind::Edit, "b", WS_VISIBLE, {}, 2));
  b->DestroyWindow();
  EXPECT_FALSE(b);
  EXPECT_EQ(parent_.children().size(), 1u);
  parent_.DestroyWindow();
  EXPECT_FALSE(a);
  EXPECT_TRUE(parent_.children().empty());
  EXPECT_EQ(parent_.GetDlgItem(1), nullptr);
  EXPECT_FALSE(parent_.ShowWindow(SW_SHOW));  // an uncreated window does nothing
  EXPECT_FALSE(parent_.IsWindowVisible());
}

TEST_F(WindowTest, ClicksTypingAndPicksReachTheParent) {
  auto* check = static_cast<Button*>(parent_.CreateControl(
      WindowKind::CheckBox, "Experts Only", WS_VISIBLE | BS_AUTOCHECKBOX, {0, 0, 80, 20}, 2051));
  auto* plain = static_cast<Button*>(parent_.CreateControl(
      WindowKind::CheckBox, "Plain", WS_VISIBLE | BS_CHECKBOX, {0, 30, 80, 50}, 7));
  Window* edit = parent_.CreateControl(WindowKind::Edit, "", WS_VISIBLE, {0, 60, 80, 80}, 8);
  auto* combo = static_cast<ComboBox*>(parent_.CreateControl(
      WindowKind::ComboBox, "", WS_VISIBLE | CBS_DROPDOWN, {0, 90, 80, 200}, 9));
  combo->AddString("a");
  combo->AddString("b");

  UserClick(*check);
  EXPECT_EQ(check->GetCheck(), 1);
  EXPECT_EQ(backend_.CursorPos(), (Point{40, 10}));  // the click went to its centre
  UserClick(*check);
  EXPECT_EQ(check->GetCheck(), 0);
  UserClick(*plain);  // not automatic: the parent decides
  EXPECT_EQ(plain->GetCheck(), 0);
  UserType(*edit, "typed");
  UserType(*edit, "typed");  // the same text typed again still tells the parent
  EXPECT_EQ(edit->GetWindowText(), "typed");
  UserPick(*combo, 1);
  EXPECT_EQ(combo->GetCurSel(), 1);
  EXPECT_EQ(combo->GetWindowText(), "b");
  EXPECT_EQ(parent_.log, (std::vector<std::string>{"clicked 2051", "clicked 2051", "clicked 7",
                                                   "changed 8", "changed 8", "selected 9"}));

  check->EnableWindow(false);
  UserClick(*check);  // a disabled button takes no clicks
  EXPECT_EQ(parent_.log.size(), 6u);
}

TEST_F(WindowTest, AComboBoxKeepsItsItemsAndSelectionQuietly) {
  auto* combo = static_cast<ComboBox*>(
      parent_.CreateControl(WindowKind::ComboBox, "", WS_VISIBLE, {0, 0, 50, 50}, 3));
  EXPECT_EQ(combo->GetCurSel(), ComboBox::kError);
  EXPECT_EQ(combo->AddString("boot"), 0);
  EXPECT_EQ(combo->AddString("toolcfg"), 1);
  EXPECT_EQ(combo->GetCount(), 2);
  EXPECT_EQ(combo->SetCurSel(1), 1);
  EXPECT_EQ(combo->GetLBText(1), "toolcfg");
  EXPECT_EQ(combo->GetLBText(2), "");
  EXPECT_EQ(combo->GetLBText(-1), "");
  EXPECT_EQ(combo->SetCurSel(5), ComboBox::kError);
  EXPECT_EQ(combo->GetWindowText(), "");
  combo->SetCurSel(0);
  combo->ResetContent();
  EXPECT_EQ(combo->GetCount(), 0);
  EXPECT_EQ(combo->GetCurSel(), ComboBox::kError);
  EXPECT_TRUE(parent_.log.empty());  // the program's own changes notify nobody
}

}  // namespace
}  // namespace nuv::fw
