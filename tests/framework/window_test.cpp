// Windows and controls: state, children, what a user does to them, message
// maps, the dispatcher, geometry, timers and custom-painted pop-ups.
#include "framework/window.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/button.h"
#include "framework/combo_box.h"
#include "framework/message_map.h"
#include "framework/popup_window.h"
#include "framework/scroll_area.h"
#include "framework/user_input.h"
#include "framework_fixture.h"
#include "platform/errors.h"

namespace nuv::fw {
namespace {

using Log = std::vector<std::string>;

// A window class with a map of its own on top of a base class's map.
class Base : public Window {
 public:
  static const MessageMap& ClassMessageMap() {
    static const MessageMap map(&Window::ClassMessageMap(),
                                {OnClicked(7, &Base::Clicked), OnClicked(8, &Base::Clicked)});
    return map;
  }
  const MessageMap& GetMessageMap() const override { return ClassMessageMap(); }
  Log calls;

 private:
  void Clicked(uint32_t id) { calls.push_back("base " + std::to_string(id)); }
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

class WindowTest : public testing::FrameworkTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(parent_.CreateEx(0, WindowKind::Dialog, "parent", WS_POPUP | WS_VISIBLE,
                                 {0, 0, 400, 300}, nullptr, 0));
  }
  template <class T = Window>
  T* Make(WindowKind kind, uint32_t style, const Rect& rect, uint32_t id) {
    return static_cast<T*>(parent_.CreateControl(kind, "", WS_VISIBLE | style, rect, id));
  }
  Derived parent_;
};

TEST_F(WindowTest, ControlsAreMadeAtRunTimeInPixelsFoundByIdAndVisibleWhileTheirParentsAre) {
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

  // Showing and enabling answer what the flag was.
  EXPECT_TRUE(button->IsWindowVisible());
  EXPECT_TRUE(button->ShowWindow(SW_HIDE));
  EXPECT_FALSE(button->ShowWindow(SW_SHOW));
  EXPECT_FALSE(button->EnableWindow(false));
  EXPECT_FALSE(button->IsWindowEnabled());
  EXPECT_TRUE(button->EnableWindow(true));
  parent_.ShowWindow(SW_HIDE);
  EXPECT_FALSE(button->IsWindowVisible());  // its own flag is still set
  EXPECT_NE(button->GetStyle() & WS_VISIBLE, 0u);
}

TEST_F(WindowTest, MapsRouteSingleIdsAndRangesFirstMatchWinningDerivedBeforeBase) {
  EXPECT_TRUE(parent_.OnCommand(10, BN_CLICKED));
  EXPECT_TRUE(parent_.OnCommand(12, BN_CLICKED));  // the single route stands first
  EXPECT_TRUE(parent_.OnCommand(19, BN_CLICKED));
  EXPECT_TRUE(parent_.OnCommand(15, EN_CHANGE));
  EXPECT_TRUE(parent_.OnCommand(30, CBN_SELCHANGE));
  EXPECT_TRUE(parent_.OnCommand(7, BN_CLICKED));  // the derived class's route hides the base's
  EXPECT_TRUE(parent_.OnCommand(8, BN_CLICKED));  // the base's map follows the derived one
  // Unrouted: past the range, before it, right id with the wrong notification.
  EXPECT_FALSE(parent_.OnCommand(20, BN_CLICKED));
  EXPECT_FALSE(parent_.OnCommand(9, BN_CLICKED));
  EXPECT_FALSE(parent_.OnCommand(30, BN_CLICKED));
  EXPECT_FALSE(parent_.OnCommand(12, CBN_SELCHANGE));
  EXPECT_EQ(parent_.calls, (Log{"range 10", "twelve", "range 19", "changed 15", "selected",
                                "derived 7", "base 8"}));
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(WindowTest, ClicksTypingAndPicksReachTheParentAndAComboBoxKeepsItsItemsAndSelection) {
  auto* check = Make<Button>(WindowKind::CheckBox, BS_AUTOCHECKBOX, {0, 0, 80, 20}, 10);
  auto* plain = Make<Button>(WindowKind::CheckBox, BS_CHECKBOX, {0, 30, 80, 50}, 11);
  Window* edit = Make(WindowKind::Edit, 0, {0, 60, 80, 80}, 13);
  auto* combo = Make<ComboBox>(WindowKind::ComboBox, CBS_DROPDOWN, {0, 90, 80, 200}, 30);
  EXPECT_EQ(combo->GetCurSel(), ComboBox::kError);
  EXPECT_EQ(combo->AddString("a"), 0);
  EXPECT_EQ(combo->AddString("b"), 1);
  edit->SetWindowText("set");  // an edit tells its parent of a new text
  edit->SetWindowText("set");  // the same text again changes nothing

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
  check->EnableWindow(false);
  UserClick(*check);  // a disabled button takes no clicks

  // The selections the program makes or clears go unheard.
  EXPECT_EQ(combo->GetLBText(0), "a");
  EXPECT_EQ(combo->GetLBText(2), "");
  EXPECT_EQ(combo->GetLBText(-1), "");
  EXPECT_EQ(combo->SetCurSel(5), ComboBox::kError);
  EXPECT_EQ(combo->GetWindowText(), "");
  EXPECT_EQ(combo->SetCurSel(0), 0);
  combo->ResetContent();
  EXPECT_EQ(combo->GetCount(), 0);
  EXPECT_EQ(combo->GetCurSel(), ComboBox::kError);
  EXPECT_EQ(parent_.calls, (Log{"changed 13", "range 10", "range 10", "range 11", "changed 13",
                                "changed 13", "selected"}));
}

TEST_F(WindowTest, AnErrorInACommandIsShownInAnApplicationBoxAndEndsOnlyThatCommand) {
  app_.SetTitle("host title");
  const std::function<void()> throwers[] = {
      [] { throw FileError("Cannot delete D:\\tmp\\script-qv.cfg."); },
      [] { throw AutomationError("Unknown name."); },
      [] { throw std::runtime_error("something else"); },
      [] { throw std::bad_alloc(); },
      [] { throw 42; },
  };
  for (const auto& thrower : throwers)
    EXPECT_FALSE(app_.RunCommand(thrower));
  EXPECT_TRUE(app_.RunCommand([] {}));
  // A nested command that fails ends only itself.
  bool outer_went_on = false;
  EXPECT_TRUE(app_.RunCommand([&] {
    app_.RunCommand([] { throw AutomationError("inner"); });
    outer_went_on = true;
  }));
  EXPECT_TRUE(outer_went_on);
  EXPECT_EQ(Boxes(),
            (Log{"host title: Cannot delete D:\\tmp\\script-qv.cfg.", "host title: Unknown name.",
                 "host title: something else", "host title: Out of memory.",
                 "host title: An unexpected error ended the command.", "host title: inner"}));
}

// Logs what it sees of input; consumes what it is told to.
class Watcher : public Window {
 public:
  Watcher(std::string name, Log& log) : name_(std::move(name)), log_(log) {}
  bool PreTranslateMessage(const Msg& msg) override {
    log_.push_back(name_ + " pre " + std::to_string(msg.pt.x) + "," + std::to_string(msg.pt.y));
    return consume;
  }
  void OnInput(const Msg& msg) override {
    log_.push_back(name_ + " handles " + std::to_string(msg.message) + " at " +
                   std::to_string(msg.pt.x) + "," + std::to_string(msg.pt.y));
  }
  bool consume = false;

 private:
  std::string name_;
  Log& log_;
};

TEST_F(WindowTest, InputGoesThroughTheTargetAndItsParentsUpToTheTopLevelWindow) {
  Log log;
  Watcher owner("owner", log);  // not in the walk
  Watcher top("top", log);
  Watcher middle("middle", log);
  Watcher leaf("leaf", log);
  ASSERT_TRUE(owner.CreateEx(0, WindowKind::Frame, "", WS_POPUP | WS_VISIBLE, {0, 0, 500, 500},
                             nullptr, 0));
  ASSERT_TRUE(top.CreateEx(0, WindowKind::Dialog, "", WS_POPUP | WS_VISIBLE, {100, 100, 400, 400},
                           &owner, 0));
  ASSERT_TRUE(
      middle.CreateEx(0, WindowKind::Form, "", WS_CHILD | WS_VISIBLE, {10, 10, 200, 200}, &top, 1));
  ASSERT_TRUE(
      leaf.CreateEx(0, WindowKind::Form, "", WS_CHILD | WS_VISIBLE, {5, 5, 50, 50}, &middle, 2));

  UserMoveMouse({120, 125});  // leaf's client point 5,10
  EXPECT_EQ(log,
            (Log{"leaf pre 5,10", "middle pre 5,10", "top pre 5,10", "leaf handles 512 at 5,10"}));
  log.clear();
  middle.consume = true;
  UserMoveMouse({121, 125});
  EXPECT_EQ(log, (Log{"leaf pre 6,10", "middle pre 6,10"}));
}

class GeometryTest : public testing::FrameworkTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(top_.CreateEx(0, WindowKind::Dialog, "top", WS_POPUP | WS_VISIBLE,
                              {100, 50, 500, 450}, nullptr, 0));
    // A group box made first, with two controls inside it.
    group_ = top_.CreateControl(WindowKind::GroupBox, "g", WS_VISIBLE, {10, 10, 210, 210}, 1);
    inner_ = top_.CreateControl(WindowKind::Edit, "", WS_VISIBLE, {20, 20, 120, 40}, 2);
    hidden_ = top_.CreateControl(WindowKind::Button, "", 0, {20, 50, 120, 70}, 3);
    disabled_ =
        top_.CreateControl(WindowKind::Button, "", WS_VISIBLE | WS_DISABLED, {20, 80, 120, 100}, 4);
    ASSERT_NE(top_.CreateControl(WindowKind::Static, "l", WS_VISIBLE, {300, 10, 390, 30}, 5),
              nullptr);
  }

  Window top_;
  Window* group_ = nullptr;
  Window* inner_ = nullptr;
  Window* hidden_ = nullptr;
  Window* disabled_ = nullptr;
};

TEST_F(GeometryTest, ConvertsBetweenClientAndScreenThroughEveryParent) {
  EXPECT_EQ(inner_->GetWindowRect(), (Rect{120, 70, 220, 90}));
  EXPECT_EQ(inner_->GetClientRect(), (Rect{0, 0, 100, 20}));
  EXPECT_EQ(inner_->ScreenToClient(Point{123, 74}), (Point{3, 4}));
  EXPECT_EQ(top_.ScreenToClient(Rect{100, 50, 110, 60}), (Rect{0, 0, 10, 10}));
  Window nested;
  ASSERT_TRUE(
      nested.CreateEx(0, WindowKind::Form, "", WS_CHILD | WS_VISIBLE, {5, 6, 50, 60}, inner_, 9));
  EXPECT_EQ(nested.ClientToScreen(Rect{1, 1, 2, 2}), (Rect{126, 77, 127, 78}));
  EXPECT_EQ(nested.GetTopLevelWindow(), &top_);
  EXPECT_TRUE(nested.IsDescendantOf(top_));
  EXPECT_FALSE(top_.IsDescendantOf(nested));
}

TEST_F(GeometryTest, TheChildAtAPointIsAnyChildButTheWindowAtAScreenPointOnlyAVisibleOne) {
  // Among the children the first made is on top.
  EXPECT_EQ(top_.ChildWindowFromPoint({30, 30}), group_);     // the group lies over the edit
  EXPECT_EQ(top_.ChildWindowFromPoint({250, 60}), &top_);     // no child there
  EXPECT_EQ(top_.ChildWindowFromPoint({400, 400}), nullptr);  // outside the client area
  EXPECT_EQ(top_.ChildWindowFromPoint({-1, 5}), nullptr);
  EXPECT_EQ(group_->ChildWindowFromPoint({5, 5}), group_);

  // On the screen, group boxes and labels let the point through to the edit
  // beneath; a hidden control is not there; a disabled one gives the point
  // to its parent.
  EXPECT_EQ(app_.WindowFromPoint({130, 80}), inner_);
  EXPECT_EQ(app_.WindowFromPoint({410, 70}), &top_);
  EXPECT_EQ(app_.WindowFromPoint({130, 110}), &top_);
  EXPECT_EQ(app_.WindowFromPoint({130, 140}), &top_);
  EXPECT_EQ(app_.WindowFromPoint({99, 80}), nullptr);

  // The window shown last is on top; a top-most pop-up stays above it.
  Window later;
  ASSERT_TRUE(
      later.CreateEx(0, WindowKind::Dialog, "later", WS_POPUP, {0, 0, 150, 100}, nullptr, 0));
  EXPECT_EQ(app_.WindowFromPoint({130, 80}), inner_);  // hidden windows are not there
  PopupWindow popup;
  ASSERT_TRUE(popup.Create(&top_));
  popup.ShowAt({125, 75, 135, 85});
  later.ShowWindow(SW_SHOW);
  EXPECT_EQ(app_.WindowFromPoint({130, 80}), &popup);
  EXPECT_EQ(app_.WindowFromPoint({140, 80}), &later);
  top_.ShowWindow(SW_SHOW);  // shown again: on top of "later"
  EXPECT_EQ(app_.WindowFromPoint({140, 80}), inner_);
  EXPECT_EQ(app_.WindowFromPoint({130, 80}), &popup);
  EXPECT_EQ(app_.TopLevelWindows(), (std::vector<Window*>{&popup, &top_, &later}));

  // Hidden and disabled children count.
  group_->MoveWindow({0, 0, 1, 1});
  EXPECT_EQ(top_.ChildWindowFromPoint({30, 60}), hidden_);
  EXPECT_EQ(top_.ChildWindowFromPoint({30, 90}), disabled_);
}

TEST_F(GeometryTest, AScrollAreaMovesItsControlsAndOnlyWhatLiesInsideItIsThere) {
  ScrollArea area;
  ASSERT_TRUE(area.Create({220, 100, 320, 160}, &top_, 6));
  area.SetLineHeight(20);
  Window* first = area.CreateControl(WindowKind::Button, "", WS_VISIBLE, {0, 0, 100, 20}, 7);
  Window* last = area.CreateControl(WindowKind::Button, "", WS_VISIBLE, {0, 80, 100, 100}, 8);
  EXPECT_FALSE(area.CanScroll());
  area.SetContentHeight(100);
  // Below the area, a point on "last" finds the area's parent.
  EXPECT_EQ(app_.WindowFromPoint(last->ClientToScreen(Point{50, 10})), &top_);

  UserScroll(area, 5);  // the contents stop at their end
  EXPECT_EQ(area.scroll_pos(), 40);
  EXPECT_EQ(last->rect(), (Rect{0, 40, 100, 60}));
  EXPECT_EQ(app_.WindowFromPoint(last->ClientToScreen(Point{50, 10})), last);
  UserScroll(area, -1);
  EXPECT_EQ(first->rect().top, -20);
  // Shorter contents take the position back to their new end.
  area.SetContentHeight(70);
  EXPECT_EQ(area.scroll_pos(), 10);
  EXPECT_EQ(first->rect().top, -10);
}

// A timer window that logs "name id @time" and then runs `on_timer`.
class Ticker : public Window {
 public:
  Ticker(std::string name, Log& log, const headless::HeadlessBackend& clock)
      : name_(std::move(name)), log_(log), clock_(clock) {
    EXPECT_TRUE(CreateEx(0, WindowKind::Dialog, "", WS_POPUP, {0, 0, 1, 1}, nullptr, 0));
  }
  void OnTimer(uint32_t id) override {
    log_.push_back(name_ + " " + std::to_string(id) + " @" + std::to_string(clock_.now()));
    if (on_timer)
      on_timer(id);
  }
  std::function<void(uint32_t)> on_timer;

 private:
  std::string name_;
  Log& log_;
  const headless::HeadlessBackend& clock_;
};

using TimerTest = testing::FrameworkTest;

TEST_F(TimerTest, DueTimersFireInOrderOfDueTimeTiesInOrderOfSetting) {
  Log log;
  Ticker a("a", log, backend_);
  Ticker b("b", log, backend_);
  ASSERT_TRUE(b.SetTimer(2, 100));
  ASSERT_TRUE(a.SetTimer(1, 100));
  ASSERT_TRUE(a.SetTimer(3, 150));
  backend_.AdvanceClock(99);
  EXPECT_TRUE(log.empty());
  backend_.AdvanceClock(201);  // to 300
  EXPECT_EQ(log, (Log{"b 2 @100", "a 1 @100", "a 3 @150", "b 2 @200", "a 1 @200", "b 2 @300",
                      "a 1 @300", "a 3 @300"}));
  EXPECT_EQ(backend_.now(), 300u);
}

TEST_F(TimerTest, SettingAgainRestartsKillingStopsAndShortPeriodsAreRaisedToTenMs) {
  Log log;
  Ticker a("a", log, backend_);
  a.SetTimer(1, 100);
  backend_.AdvanceClock(60);
  a.SetTimer(1, 100);  // restarts: next at 160
  backend_.AdvanceClock(100);
  EXPECT_EQ(log, Log{"a 1 @160"});
  EXPECT_TRUE(a.KillTimer(1));
  EXPECT_FALSE(a.KillTimer(1));
  EXPECT_FALSE(backend_.HasTimer(a, 1));
  backend_.AdvanceClock(1000);
  EXPECT_EQ(log.size(), 1u);

  a.SetTimer(2, 0);
  backend_.AdvanceClock(25);
  EXPECT_EQ(log, (Log{"a 1 @160", "a 2 @1170", "a 2 @1180"}));
}

TEST_F(TimerTest, AHandlerMayKillItsTimerSetAnotherOrThrowAndTimersGoWithTheirWindow) {
  Log log;
  Ticker a("a", log, backend_);
  a.on_timer = [&](uint32_t id) {
    if (id != 1)
      throw std::runtime_error("tick failed");
    a.KillTimer(1);
    a.SetTimer(2, 30);
  };
  a.SetTimer(1, 50);
  backend_.AdvanceClock(120);
  // The error is shown, and the timer goes on.
  EXPECT_EQ(log, (Log{"a 1 @50", "a 2 @80", "a 2 @110"}));
  EXPECT_EQ(Boxes(), (Log{"nuvhost: tick failed", "nuvhost: tick failed"}));
  a.DestroyWindow();
  EXPECT_FALSE(backend_.HasTimer(a, 2));
  EXPECT_FALSE(a.SetTimer(1, 10));  // no window, no timer
  backend_.AdvanceClock(100);
  EXPECT_EQ(log.size(), 3u);
}

}  // namespace
}  // namespace nuv::fw
