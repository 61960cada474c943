#include "framework/message_map.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/window.h"
#include "framework_fixture.h"

namespace nuv::fw {
namespace {

// A window class with a map of its own on top of a base class's map.
class Base : public Window {
 public:
  static const MessageMap& ClassMessageMap() {
    static const MessageMap map(&Window::ClassMessageMap(), {
                                                                OnClicked(7, &Base::Seven),
                                                                OnClicked(8, &Base::Eight),
                                                            });
    return map;
  }
  const MessageMap& GetMessageMap() const override { return ClassMessageMap(); }

  std::vector<std::string> calls;

 private:
  void Seven() { calls.push_back("base 7"); }
  void Eight() { calls.push_back("base 8"); }
};

class Derived : public Base {
 public:
  const MessageMap& GetMessageMap() const override {
    static const MessageMap map(&Base::ClassMessageMap(),
                                {
                                    OnClicked(12, &Derived::Twelve),
                                    OnClickedRange(10, 19, &Derived::Range),
                                    OnChangeRange(10, 19, &Derived::Changed),
                                    OnSelChange(30, &Derived::Selected),
                                    OnClicked(7, &Derived::Seven),
                                });
    return map;
  }

 private:
  void Twelve() { calls.push_back("twelve"); }
  void Range(uint32_t id) { calls.push_back("range " + std::to_string(id)); }
  void Changed(uint32_t id) { calls.push_back("changed " + std::to_string(id)); }
  void Selected() { calls.push_back("selected"); }
  void Seven() { calls.push_back("derived 7"); }
};

using MessageMapTest = testing::FrameworkTest;

TEST_F(MessageMapTest, RoutesSingleIdsAndRangesFirstMatchWinning) {
  Derived window;
  ASSERT_TRUE(window.CreateEx(0, WindowKind::Dialog, "", WS_POPUP, {0, 0, 10, 10}, nullptr, 0));
  EXPECT_TRUE(window.OnCommand(10, BN_CLICKED));
  EXPECT_TRUE(window.OnCommand(12, BN_CLICKED));  // the single route stands first
  EXPECT_TRUE(window.OnCommand(19, BN_CLICKED));
  EXPECT_TRUE(window.OnCommand(15, EN_CHANGE));
  EXPECT_TRUE(window.OnCommand(30, CBN_SELCHANGE));
  EXPECT_TRUE(window.OnCommand(7, BN_CLICKED));  // the derived class's route hides the base's
  EXPECT_TRUE(window.OnCommand(8, BN_CLICKED));  // the base's map follows the derived one
  EXPECT_EQ(window.calls, (std::vector<std::string>{"range 10", "twelve", "range 19", "changed 15",
                                                    "selected", "derived 7", "base 8"}));
}

TEST_F(MessageMapTest, UnroutedNotificationsDoNothing) {
  Derived window;
  ASSERT_TRUE(window.CreateEx(0, WindowKind::Dialog, "", WS_POPUP, {0, 0, 10, 10}, nullptr, 0));
  EXPECT_FALSE(window.OnCommand(20, BN_CLICKED));  // past the range
  EXPECT_FALSE(window.OnCommand(9, BN_CLICKED));   // before it
  EXPECT_FALSE(window.OnCommand(30, BN_CLICKED));  // right id, wrong notification
  EXPECT_FALSE(window.OnCommand(12, CBN_SELCHANGE));
  EXPECT_TRUE(window.calls.empty());
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(MessageMapTest, ControlsNotifyTheirParent) {
  Derived window;
  ASSERT_TRUE(window.CreateEx(0, WindowKind::Dialog, "", WS_POPUP, {0, 0, 99, 99}, nullptr, 0));
  Window* edit = window.CreateControl(WindowKind::Edit, "", WS_VISIBLE, {0, 0, 5, 5}, 11);
  ASSERT_NE(edit, nullptr);
  edit->SetWindowText("typed");  // an edit tells its parent of a new text
  edit->SetWindowText("typed");  // the same text again changes nothing
  edit->NotifyParent(BN_CLICKED);
  EXPECT_EQ(window.calls, (std::vector<std::string>{"changed 11", "range 11"}));
}

}  // namespace
}  // namespace nuv::fw
