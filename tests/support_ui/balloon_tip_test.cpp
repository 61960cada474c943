// The balloon tip on the headless screen: 800 x 600 pixels, characters 6
// pixels wide and lines 13 high, timers on the virtual clock. The owner is a
// window at 40,30 so that owner, control and screen coordinates differ.
// What a user sees of the tips (the delay, a move before it ends, the place
// below the cursor, the wrapping, the hold time and a move on the same
// control during it, and a key, a click or another control ending a tip) is
// checked by the UI scripts tests/ui/tip_*.nuv on the main form, and by
// legacy_fields.nuv on the field edit dialog.
#include "support/balloon_tip.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "framework/application.h"
#include "framework/headless/headless_backend.h"
#include "framework/headless/recording_painter.h"
#include "framework/msg.h"
#include "framework/user_input.h"
#include "framework/window.h"
#include "recording_backend.h"

namespace nuv::test {
namespace {

using fw::Point;
using fw::Rect;

// A window whose controls carry tips: it hands every message to its tip
// first, as the tool's forms and dialogs do.
class TipOwner : public fw::Window {
 public:
  ~TipOwner() override { DestroyWindow(); }
  bool PreTranslateMessage(const fw::Msg& msg) override {
    ++relayed;
    if (tip.IsWindow())
      tip.RelayEvent(msg);
    return false;
  }

  BalloonTip tip;
  int relayed = 0;
};

constexpr uint32_t kEdit = 100;
constexpr uint32_t kButton = 101;
constexpr uint32_t kDisabled = 103;
constexpr uint32_t kRight = 105;

constexpr std::string_view kEditText = "Select a flash binary file for edit.";
constexpr std::string_view kButtonText = "Clear the current selected file.";

// The owner's client origin on the screen.
constexpr Point kOrigin{40, 30};

// A running application on the headless screen, torn down after each test,
// with an owner whose controls carry tips set up as the tool's forms do.
class BalloonTipTest : public ::testing::Test {
 protected:
  BalloonTipTest()
      : app_("nuvhost", std::make_unique<plugin::test::RecordingBackend>()),
        backend_(static_cast<plugin::test::RecordingBackend&>(app_.backend())) {}

  void SetUp() override {
    ASSERT_TRUE(owner_.CreateEx(0, fw::WindowKind::Dialog, "owner", fw::WS_POPUP | fw::WS_VISIBLE,
                                {kOrigin.x, kOrigin.y, 800, 600}, nullptr, 0));
    Make(fw::WindowKind::Edit, {10, 10, 110, 33}, kEdit);
    Make(fw::WindowKind::Button, {10, 50, 110, 73}, kButton);
    Make(fw::WindowKind::GroupBox, {200, 10, 400, 200}, 102);
    Make(fw::WindowKind::Button, {10, 90, 110, 113}, kDisabled)->EnableWindow(false);
    Make(fw::WindowKind::Button, {700, 10, 750, 33}, kRight);
    Make(fw::WindowKind::Edit, {10, 130, 110, 153}, 106);

    ASSERT_EQ(tip().Create(&owner_), BalloonTip::CreateResult::kCreated);
    tip().SetActive(true);
    tip().SetMaxWidth(kTipWidth);
    tip().SetBackgroundColour(kTipBackground);
    const std::pair<uint32_t, std::string_view> tools[] = {{kEdit, kEditText},
                                                           {kButton, kButtonText},
                                                           {kDisabled, "Disabled"},
                                                           {kRight, "At the right edge"},
                                                           {106, ""}};
    for (const auto& [id, text] : tools)
      ASSERT_EQ(tip().AddTool(Control(id), text), BalloonTip::AddToolResult::kAdded);
  }

  fw::headless::HeadlessBackend& headless() { return backend_.headless(); }
  fw::Window* Make(fw::WindowKind kind, const Rect& rect, uint32_t id) {
    return owner_.CreateControl(kind, "", fw::WS_VISIBLE, rect, id);
  }
  fw::Window* Control(uint32_t id) const { return owner_.GetDlgItem(id); }
  BalloonTip& tip() { return owner_.tip; }
  // Lets time pass on the virtual clock.
  void Wait(uint64_t ms) { headless().AdvanceClock(ms); }
  // The user moves the mouse to a point of the owner's client area.
  void Move(Point client) { fw::UserMoveMouse(owner_.ClientToScreen(client)); }
  // The cursor goes there without any message reaching the owner (it
  // passed over a window that does not relay, say).
  void Slide(Point client) { backend_.SetCursorPos(owner_.ClientToScreen(client)); }
  bool Shown() { return tip().IsWindowVisible(); }
  bool Polls() { return headless().HasTimer(tip(), BalloonTip::kPollTimer); }
  // Rests on the edit until its tip is up.
  void ShowEditTip() {
    Move({50, 20});
    Wait(500);
    ASSERT_TRUE(Shown());
  }

  fw::Application app_;
  plugin::test::RecordingBackend& backend_;
  TipOwner owner_;
};

TEST_F(BalloonTipTest, NeedsAnOwnerWindowGoesWithItAndStopsItsTimersWhenDestroyed) {
  TipOwner owner;
  BalloonTip& fresh = owner.tip;
  EXPECT_EQ(fresh.Create(nullptr), BalloonTip::CreateResult::kNotCreated);
  EXPECT_EQ(fresh.Create(&owner), BalloonTip::CreateResult::kNotCreated);
  ASSERT_TRUE(
      owner.CreateEx(0, fw::WindowKind::Dialog, "", fw::WS_POPUP, {0, 0, 100, 100}, nullptr, 0));
  fw::Window* edit = owner.CreateControl(fw::WindowKind::Edit, "", 0, {0, 0, 10, 10}, 1);
  // No tip window yet: no tool.
  EXPECT_EQ(fresh.AddTool(edit, "text"), BalloonTip::AddToolResult::kNotAdded);
  EXPECT_TRUE(fresh.tools().empty());

  ASSERT_EQ(fresh.Create(&owner), BalloonTip::CreateResult::kCreated);
  EXPECT_EQ(fresh.Create(&owner), BalloonTip::CreateResult::kNotCreated);  // once
  EXPECT_EQ(fresh.GetOwner(), &owner);
  EXPECT_NE(fresh.GetExStyle() & fw::WS_EX_TOPMOST, 0u);
  EXPECT_FALSE(fresh.IsWindowVisible());
  EXPECT_EQ(fresh.GetFont(), backend_.StatusFont());
  EXPECT_EQ(fresh.AddTool(nullptr, "no control"), BalloonTip::AddToolResult::kNotAdded);
  ASSERT_EQ(fresh.AddTool(edit, "text"), BalloonTip::AddToolResult::kAdded);
  // Told nothing else, a tip wraps to a width of 0 on the system's colours.
  EXPECT_EQ(fresh.tools()[0].width, 0);
  EXPECT_EQ(fresh.tools()[0].background, BalloonTip::kSystemColour);
  owner.DestroyWindow();
  EXPECT_FALSE(fresh.IsWindow());
  // Without its owner a tip finds no tool and still hides on a key.
  fresh.RelayEvent(fw::Msg{fw::WM_MOUSEMOVE, nullptr, 0, {5, 5}, {5, 5}});
  fresh.RelayEvent(fw::Msg{fw::WM_KEYDOWN, nullptr, 0, {5, 5}, {5, 5}});
  EXPECT_EQ(fresh.current_tool(), nullptr);
  EXPECT_TRUE(fresh.dismissed());

  // A destroyed tip stops its timers; its owner still sees messages, and no
  // tip shows.
  ShowEditTip();
  Move({720, 20});
  ASSERT_TRUE(headless().HasTimer(tip(), BalloonTip::kDelayTimer));
  tip().DestroyWindow();
  EXPECT_FALSE(headless().HasTimer(tip(), BalloonTip::kDelayTimer));
  EXPECT_FALSE(Polls());
  const int relayed = owner_.relayed;
  Move({50, 20});
  EXPECT_EQ(owner_.relayed, relayed + 1);
  Wait(1000);
  EXPECT_FALSE(Shown());
}

TEST_F(BalloonTipTest, ToolsCoverTheirControlInOwnerCoordinatesAndTakeTheTipsWidthAndBackground) {
  EXPECT_EQ(tip().tools()[0].rect, (Rect{10, 10, 110, 33}));
  // A part of the control, given in the control's own coordinates.
  ASSERT_EQ(tip().AddTool(Control(kButton), "left half", Rect{0, 0, 50, 23}, 7),
            BalloonTip::AddToolResult::kAdded);
  EXPECT_EQ(tip().tools().back().rect, (Rect{10, 50, 60, 73}));
  EXPECT_EQ(tip().tools().back().id, 7u);

  // Every tool had the width and background of the moment, so every tool
  // takes the new ones, and so do tools added later.
  tip().SetMaxWidth(150);
  tip().SetBackgroundColour(fw::RGB(0, 0, 255));
  ASSERT_EQ(tip().AddTool(Control(kButton), "later"), BalloonTip::AddToolResult::kAdded);
  for (const BalloonTip::Tool& tool : tip().tools()) {
    EXPECT_EQ(tool.width, 150);
    EXPECT_EQ(tool.background, fw::RGB(0, 0, 255));
  }
  // The new width is the one the tip wraps to: "Select a flash binary" fits
  // the 25 characters of 150 pixels, "file for edit." goes below.
  ShowEditTip();
  EXPECT_EQ(tip().GetWindowRect().Width(), 21 * 6 + 5);
  EXPECT_EQ(tip().GetWindowRect().Height(), 2 * 13 + 5);
}

TEST_F(BalloonTipTest, FindsTheFirstToolOfTheControlUnderAPoint) {
  const auto text = [&](Point point) {
    const BalloonTip::Tool* tool = tip().ToolFromPoint(point);
    return tool != nullptr ? tool->text : "(none)";
  };
  EXPECT_EQ(text({50, 20}), kEditText);
  EXPECT_EQ(text({109, 32}), kEditText);
  EXPECT_EQ(text({110, 20}), "(none)");   // just outside
  EXPECT_EQ(text({500, 300}), "(none)");  // the owner itself
  EXPECT_EQ(text({300, 100}), "(none)");  // a group box, no tool
  EXPECT_EQ(text({-20, 20}), "(none)");   // off the owner
  // A disabled control gives the point to the owner, which finds it again.
  EXPECT_EQ(text({50, 100}), "Disabled");
  // A hidden control is found all the same, as on Windows.
  Control(kButton)->ShowWindow(fw::SW_HIDE);
  EXPECT_EQ(text({50, 60}), kButtonText);
  // The control's first tool decides, even where its area does not reach.
  fw::Window* split = Make(fw::WindowKind::Button, {500, 10, 600, 30}, 107);
  ASSERT_EQ(tip().AddTool(split, "left", Rect{0, 0, 50, 20}), BalloonTip::AddToolResult::kAdded);
  ASSERT_EQ(tip().AddTool(split, "whole"), BalloonTip::AddToolResult::kAdded);
  EXPECT_EQ(text({510, 20}), "left");
  EXPECT_EQ(text({570, 20}), "(none)");

  // A window above the owner hides the control beneath it.
  fw::Window cover;
  ASSERT_TRUE(cover.CreateEx(0, fw::WindowKind::Frame, "", fw::WS_POPUP | fw::WS_VISIBLE,
                             {kOrigin.x, kOrigin.y, kOrigin.x + 60, kOrigin.y + 60}, nullptr, 0));
  EXPECT_EQ(text({50, 20}), "(none)");
  cover.DestroyWindow();
  EXPECT_EQ(text({50, 20}), kEditText);
}

TEST_F(BalloonTipTest, PlacesMeasuresAndPaintsTheTipWithItsMargins) {
  const BalloonTip::Tool& tool = tip().tools()[0];
  EXPECT_EQ(tip().PlaceTip({700, 100}, tool, {0, 0, 900, 20}), (Rect{0, 100, 900, 120}));
  EXPECT_EQ(tip().PlaceTip({700, 100}, tool, {0, 0, 50, 20}), (Rect{700, 100, 750, 120}));
  // Both edges at once: left, and up above the edit (its top at screen 40).
  EXPECT_EQ(tip().PlaceTip({790, 590}, tool, {0, 0, 50, 20}), (Rect{750, 20, 800, 40}));

  EXPECT_EQ(tip().MeasureTip("a\tb", 200), (Rect{0, 0, 9 * 6 + 5, 13 + 5}));
  EXPECT_EQ(tip().MeasureTip("one two", 0), (Rect{0, 0, 3 * 6 + 5, 2 * 13 + 5}));

  fw::headless::RecordingPainter nothing;
  tip().OnPaint(nothing);  // no tool yet
  EXPECT_TRUE(nothing.items().empty());

  ShowEditTip();
  fw::headless::RecordingPainter painter;
  tip().OnPaint(painter);
  using Item = fw::headless::RecordingPainter::Item;
  ASSERT_EQ(painter.items().size(), 3u);
  const Rect client{0, 0, 185, 31};
  EXPECT_EQ(painter.items()[0].kind, Item::Kind::Fill);
  EXPECT_EQ(painter.items()[0].rect, client);
  EXPECT_EQ(painter.items()[0].colour, kTipBackground);
  EXPECT_EQ(painter.items()[1].kind, Item::Kind::Frame);
  EXPECT_EQ(painter.items()[1].rect, client);
  EXPECT_EQ(painter.items()[2].kind, Item::Kind::Text);
  EXPECT_EQ(painter.items()[2].rect, (Rect{2, 2, 182, 28}));
  // Word break, expanded tabs, external leading and no prefix, as Windows draws tips.
  EXPECT_EQ(painter.items()[2].flags, 0xA50u);
  EXPECT_EQ(painter.items()[2].colour, backend_.GetSysColour(fw::SystemColour::TooltipText));
  EXPECT_EQ(painter.items()[2].text, kEditText);

  // The system's colour stands for the system's tooltip background.
  tip().SetBackgroundColour(BalloonTip::kSystemColour);
  fw::headless::RecordingPainter plain;
  tip().OnPaint(plain);
  ASSERT_EQ(plain.items().size(), 3u);
  EXPECT_EQ(plain.items()[0].colour, backend_.GetSysColour(fw::SystemColour::TooltipBackground));
}

TEST_F(BalloonTipTest, KeysAndClicksOtherThanALeftClickOnTheTipHideIt) {
  const std::vector<uint32_t> passing = {fw::WM_LBUTTONUP, fw::WM_RBUTTONUP, fw::WM_MBUTTONUP,
                                         fw::WM_COMMAND, fw::WM_TIMER};
  const std::vector<uint32_t> dismissing = {
      fw::WM_KEYDOWN,       fw::WM_KEYUP,           fw::WM_CHAR,          fw::WM_SYSKEYDOWN,
      fw::WM_KEYLAST,       fw::WM_LBUTTONDBLCLK,   fw::WM_RBUTTONDOWN,   fw::WM_RBUTTONDBLCLK,
      fw::WM_MBUTTONDOWN,   fw::WM_MBUTTONDBLCLK,   fw::WM_NCLBUTTONDOWN, fw::WM_NCLBUTTONDBLCLK,
      fw::WM_NCRBUTTONDOWN, fw::WM_NCRBUTTONDBLCLK, fw::WM_NCMBUTTONDOWN, fw::WM_NCMBUTTONDBLCLK,
  };
  for (const auto& [messages, hides] : {std::pair{passing, false}, std::pair{dismissing, true}}) {
    for (uint32_t message : messages) {
      SCOPED_TRACE(message);
      Move({500, 300});  // away, so that a hidden tip comes again
      ShowEditTip();
      tip().RelayEvent(fw::Msg{message, Control(kEdit), 0, {40, 10}, {90, 50}});
      EXPECT_EQ(Shown(), !hides);
      EXPECT_EQ(tip().dismissed(), hides);
    }
  }
  Wait(500);
  EXPECT_FALSE(Polls());  // killed when it fired
  Move({500, 300});
  ShowEditTip();
  // A left click leaves the tip while the cursor is on it, and only then.
  const Rect shown = tip().GetWindowRect();
  backend_.SetCursorPos({shown.left + 5, shown.top + 5});
  tip().RelayEvent(fw::Msg{fw::WM_LBUTTONDOWN, Control(kEdit), 0, {}, {}});
  EXPECT_TRUE(Shown());
  fw::UserClick(*Control(kRight));
  EXPECT_FALSE(Shown());
  EXPECT_TRUE(tip().dismissed());
}

TEST_F(BalloonTipTest, TheTipStaysWhileTheCursorRestsOnItAndGoesAtThePollAfterItLeft) {
  ShowEditTip();
  const Rect shown = tip().GetWindowRect();
  backend_.SetCursorPos({shown.left + 10, shown.top + 10});
  Wait(20000);
  EXPECT_TRUE(Shown());
  // Off the tip, onto a control without a tool.
  Move({300, 100});
  Wait(500);
  EXPECT_FALSE(Shown());
  // Onto another tool without the owner hearing of it.
  Move({50, 60});
  Wait(500);
  ASSERT_TRUE(Shown());
  Slide({720, 20});
  Wait(499);
  EXPECT_TRUE(Shown());
  Wait(1);
  EXPECT_FALSE(Shown());
  EXPECT_TRUE(tip().dismissed());
}

TEST_F(BalloonTipTest, ShowsNothingWhileInactiveForAnEmptyTextOrForAControlThatWent) {
  tip().SetActive(false);
  Move({50, 20});
  Wait(2000);
  EXPECT_FALSE(Shown());
  tip().SetActive(true);
  Move({50, 140});  // the tool without text
  Wait(2000);
  EXPECT_FALSE(Shown());
  // The button goes while its tip is pending: no tip, no tool, no polling.
  Move({50, 60});
  Control(kButton)->DestroyWindow();
  Wait(500);
  EXPECT_FALSE(Shown());
  EXPECT_EQ(tip().ToolFromPoint({50, 60}), nullptr);
  Wait(500);
  EXPECT_FALSE(Polls());
  ShowEditTip();
}

TEST_F(BalloonTipTest, FollowsTheSystemFontOnlyWhileItHasIt) {
  EXPECT_TRUE(tip().follows_system_font());
  const fw::Font big{"DejaVu Sans", 14};
  tip().SetFont(big);
  EXPECT_FALSE(tip().follows_system_font());
  backend_.SetStatusFont({"Tahoma", 8});
  tip().OnSettingChange();
  EXPECT_EQ(tip().GetFont(), big);

  // Someone sets a font that cannot be read: the system's one, followed.
  tip().OnSetFont(nullptr);
  EXPECT_EQ(tip().GetFont(), (fw::Font{"Tahoma", 8}));
  EXPECT_TRUE(tip().follows_system_font());
  backend_.SetStatusFont({"Verdana", 10});
  tip().OnSettingChange();
  EXPECT_EQ(tip().GetFont(), (fw::Font{"Verdana", 10}));

  tip().OnSetFont(&big);
  EXPECT_EQ(tip().GetFont(), big);
  EXPECT_FALSE(tip().follows_system_font());
  // The same face at the system's size is the system's font again.
  tip().SetFont({"Verdana", 10}, false);
  EXPECT_TRUE(tip().follows_system_font());
}

TEST_F(BalloonTipTest, GivesTheFocusBackOnAClickToTheWindowThatHadIt) {
  EXPECT_EQ(tip().OnLButtonDown(), nullptr);
  tip().OnSetFocus(Control(kButton));
  EXPECT_EQ(tip().OnLButtonDown(), nullptr);  // no tool yet

  ShowEditTip();
  EXPECT_EQ(tip().OnLButtonDown(), Control(kButton));
  tip().OnSetFocus(nullptr);
  EXPECT_EQ(tip().OnLButtonDown(), nullptr);
  tip().OnSetFocus(Control(kButton));
  Control(kButton)->DestroyWindow();
  EXPECT_EQ(tip().OnLButtonDown(), nullptr);
}

}  // namespace
}  // namespace nuv::test
