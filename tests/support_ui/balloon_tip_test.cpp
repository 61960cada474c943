// The balloon tip on the headless screen: 800 x 600 pixels, characters 6
// pixels wide and lines 13 high, timers on the virtual clock. The owner is a
// window at 40,30 so that owner, control and screen coordinates differ.
#include "support/balloon_tip.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/headless/recording_painter.h"
#include "framework/user_input.h"
#include "tip_fixture.h"

namespace nuv::test {
namespace {

using fw::Point;
using fw::Rect;

constexpr uint32_t kEdit = 100;
constexpr uint32_t kButton = 101;
constexpr uint32_t kGroup = 102;
constexpr uint32_t kDisabled = 103;
constexpr uint32_t kBottom = 104;
constexpr uint32_t kRight = 105;
constexpr uint32_t kSilent = 106;

constexpr std::string_view kEditText = "Select a flash binary file for edit.";
constexpr std::string_view kButtonText = "Clear the current selected file.";

// The owner's client origin on the screen.
constexpr Point kOrigin{40, 30};

class BalloonTipTest : public TipTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(owner_.CreateEx(0, fw::WindowKind::Dialog, "owner", fw::WS_POPUP | fw::WS_VISIBLE,
                                {kOrigin.x, kOrigin.y, 800, 600}, nullptr, 0));
    Make(fw::WindowKind::Edit, {10, 10, 110, 33}, kEdit);
    Make(fw::WindowKind::Button, {10, 50, 110, 73}, kButton);
    Make(fw::WindowKind::GroupBox, {200, 10, 400, 200}, kGroup);
    Make(fw::WindowKind::Button, {10, 90, 110, 113}, kDisabled)->EnableWindow(false);
    Make(fw::WindowKind::Button, {300, 540, 400, 565}, kBottom);  // screen 570 to 595
    Make(fw::WindowKind::Button, {700, 10, 750, 33}, kRight);     // screen 740 to 790
    Make(fw::WindowKind::Edit, {10, 130, 110, 153}, kSilent);

    ASSERT_TRUE(tip().Create(&owner_));
    tip().SetActive(true);
    tip().SetMaxWidth(kTipWidth);
    tip().SetBackgroundColour(kTipBackground);
    ASSERT_TRUE(tip().AddTool(Control(kEdit), kEditText));
    ASSERT_TRUE(tip().AddTool(Control(kButton), kButtonText));
    ASSERT_TRUE(tip().AddTool(Control(kDisabled), "Disabled"));
    ASSERT_TRUE(tip().AddTool(Control(kBottom), "Near the bottom of the screen"));
    ASSERT_TRUE(tip().AddTool(Control(kRight), "At the right edge"));
    ASSERT_TRUE(tip().AddTool(Control(kSilent), ""));
  }

  fw::Window* Make(fw::WindowKind kind, const Rect& rect, uint32_t id) {
    return owner_.CreateControl(kind, "", fw::WS_VISIBLE, rect, id);
  }
  fw::Window* Control(uint32_t id) const { return owner_.GetDlgItem(id); }
  BalloonTip& tip() { return owner_.tip; }
  // The mouse goes to a point of the owner's client area.
  void Move(Point client) { MoveTo(owner_, client); }
  // The cursor goes there without any message reaching the owner (it
  // passed over a window that does not relay, say).
  void Slide(Point client) { backend_.SetCursorPos(owner_.ClientToScreen(client)); }
  bool Shown() { return tip().IsWindowVisible(); }
  // Rests on the edit until its tip is up.
  void ShowEditTip() {
    Move({50, 20});
    Wait(500);
    ASSERT_TRUE(Shown());
  }

  TipOwner owner_;
};

TEST_F(TipTest, StartsWithoutToolsAndNeedsAnOwnerWindow) {
  TipOwner owner;
  BalloonTip& tip = owner.tip;
  EXPECT_EQ(tip.GetRuntimeClass().class_name, "BalloonTip");
  EXPECT_FALSE(tip.IsWindow());
  EXPECT_TRUE(tip.active());
  EXPECT_EQ(tip.max_width(), 0);
  EXPECT_EQ(tip.background_colour(), BalloonTip::kSystemColour);
  EXPECT_TRUE(tip.follows_system_font());
  EXPECT_FALSE(tip.dismissed());
  EXPECT_EQ(tip.current_tool(), nullptr);
  EXPECT_EQ(tip.shown_time(), 0u);
  EXPECT_EQ(BalloonTip::kDrawFlags, 0xA50u);

  // No owner window: no tip window, and nothing to register controls with.
  EXPECT_FALSE(tip.Create(nullptr));
  EXPECT_FALSE(tip.Create(&owner));
  ASSERT_TRUE(
      owner.CreateEx(0, fw::WindowKind::Dialog, "", fw::WS_POPUP, {0, 0, 100, 100}, nullptr, 0));
  fw::Window* edit = owner.CreateControl(fw::WindowKind::Edit, "", 0, {0, 0, 10, 10}, 1);
  EXPECT_FALSE(tip.AddTool(edit, "text"));
  EXPECT_TRUE(tip.tools().empty());

  ASSERT_TRUE(tip.Create(&owner));
  EXPECT_FALSE(tip.Create(&owner));  // once
  EXPECT_EQ(tip.kind(), fw::WindowKind::Popup);
  EXPECT_EQ(tip.GetOwner(), &owner);
  EXPECT_NE(tip.GetExStyle() & fw::WS_EX_TOPMOST, 0u);
  EXPECT_FALSE(tip.IsWindowVisible());
  EXPECT_EQ(tip.GetWindowRect(), (Rect{0, 0, 10, 10}));
  EXPECT_EQ(tip.GetFont(), backend_.StatusFont());
  EXPECT_FALSE(tip.AddTool(nullptr, "no control"));
  EXPECT_TRUE(tip.AddTool(edit, "text"));

  // The tip's window goes with its owner's.
  owner.DestroyWindow();
  EXPECT_FALSE(tip.IsWindow());
}

TEST_F(BalloonTipTest, ToolsCoverTheirControlInOwnerCoordinatesWithTheCurrentDefaults) {
  const BalloonTip::Tool& edit = tip().tools()[0];
  EXPECT_EQ(edit.control.get(), Control(kEdit));
  EXPECT_EQ(edit.id, 0u);
  EXPECT_EQ(edit.rect, (Rect{10, 10, 110, 33}));
  EXPECT_EQ(edit.text, kEditText);
  EXPECT_EQ(edit.width, 200);
  EXPECT_EQ(edit.background, kTipBackground);
  EXPECT_EQ(edit.text_colour, BalloonTip::kSystemColour);

  // A part of the control, given in the control's own coordinates.
  ASSERT_TRUE(tip().AddTool(Control(kButton), "left half", Rect{0, 0, 50, 23}, 7));
  EXPECT_EQ(tip().tools().back().rect, (Rect{10, 50, 60, 73}));
  EXPECT_EQ(tip().tools().back().id, 7u);
}

TEST_F(BalloonTipTest, ToolsTakeANewWidthAndBackgroundAndSoDoToolsAddedLater) {
  tip().SetMaxWidth(150);
  tip().SetBackgroundColour(fw::RGB(0, 0, 255));
  ASSERT_TRUE(tip().AddTool(Control(kButton), "later"));
  for (const BalloonTip::Tool& tool : tip().tools()) {
    EXPECT_EQ(tool.width, 150);
    EXPECT_EQ(tool.background, fw::RGB(0, 0, 255));
  }
  EXPECT_EQ(tip().max_width(), 150);
  EXPECT_EQ(tip().background_colour(), fw::RGB(0, 0, 255));
  // The new width is the one the tip wraps to: "Select a flash binary" fits
  // the 25 characters of 150 pixels, "file for edit." goes below.
  Move({50, 20});
  Wait(500);
  EXPECT_EQ(tip().GetWindowRect().Width(), 21 * 6 + 5);
  EXPECT_EQ(tip().GetWindowRect().Height(), 2 * 13 + 5);
}

TEST_F(BalloonTipTest, FindsTheToolOfTheControlUnderAPoint) {
  ASSERT_NE(tip().ToolFromPoint({50, 20}), nullptr);
  EXPECT_EQ(tip().ToolFromPoint({50, 20})->text, kEditText);
  EXPECT_EQ(tip().ToolFromPoint({109, 32})->text, kEditText);
  EXPECT_EQ(tip().ToolFromPoint({110, 20}), nullptr);   // just outside
  EXPECT_EQ(tip().ToolFromPoint({500, 300}), nullptr);  // the owner itself
  EXPECT_EQ(tip().ToolFromPoint({300, 100}), nullptr);  // a group box, no tool
  EXPECT_EQ(tip().ToolFromPoint({-20, 20}), nullptr);   // off the owner
  // A disabled control gives the point to the owner, which finds it again.
  ASSERT_NE(tip().ToolFromPoint({50, 100}), nullptr);
  EXPECT_EQ(tip().ToolFromPoint({50, 100})->text, "Disabled");
  // A hidden control is found all the same: the owner looks at all its
  // children, as on Windows.
  Control(kButton)->ShowWindow(fw::SW_HIDE);
  ASSERT_NE(tip().ToolFromPoint({50, 60}), nullptr);
  EXPECT_EQ(tip().ToolFromPoint({50, 60})->text, kButtonText);
  Control(kButton)->ShowWindow(fw::SW_SHOW);

  // A window above the owner hides the control beneath it.
  fw::Window cover;
  ASSERT_TRUE(cover.CreateEx(0, fw::WindowKind::Frame, "", fw::WS_POPUP | fw::WS_VISIBLE,
                             {kOrigin.x, kOrigin.y, kOrigin.x + 60, kOrigin.y + 60}, nullptr, 0));
  EXPECT_EQ(tip().ToolFromPoint({50, 20}), nullptr);
  cover.DestroyWindow();
  EXPECT_NE(tip().ToolFromPoint({50, 20}), nullptr);
}

TEST_F(BalloonTipTest, TheFirstToolOfAControlDecidesEvenOutsideItsArea) {
  TipOwner other;
  ASSERT_TRUE(other.CreateEx(0, fw::WindowKind::Dialog, "", fw::WS_POPUP | fw::WS_VISIBLE,
                             {0, 0, 200, 200}, nullptr, 0));
  fw::Window* button =
      other.CreateControl(fw::WindowKind::Button, "", fw::WS_VISIBLE, {0, 0, 100, 20}, 1);
  ASSERT_TRUE(other.tip.Create(&other));
  ASSERT_TRUE(other.tip.AddTool(button, "left", Rect{0, 0, 50, 20}));
  ASSERT_TRUE(other.tip.AddTool(button, "whole"));
  EXPECT_EQ(other.tip.ToolFromPoint({10, 10})->text, "left");
  EXPECT_EQ(other.tip.ToolFromPoint({70, 10}), nullptr);
}

TEST_F(BalloonTipTest, ShowsAfterTheDelayTwentyPixelsBelowTheCursor) {
  Move({50, 20});  // screen 90,50
  EXPECT_TRUE(headless().HasTimer(tip(), BalloonTip::kDelayTimer));
  EXPECT_EQ(tip().current_tool(), &tip().tools()[0]);
  Wait(499);
  EXPECT_FALSE(Shown());
  Wait(1);
  ASSERT_TRUE(Shown());
  // "edit." does not fit the 33 characters of 200 pixels: two lines of at
  // most 30 characters, and the margins.
  EXPECT_EQ(tip().GetWindowRect(), (Rect{90, 70, 90 + 180 + 5, 70 + 26 + 5}));
  EXPECT_EQ(ShownText(tip()), kEditText);
  EXPECT_FALSE(headless().HasTimer(tip(), BalloonTip::kDelayTimer));
  EXPECT_TRUE(headless().HasTimer(tip(), BalloonTip::kPollTimer));
  EXPECT_EQ(tip().shown_time(), 0u);
  Wait(1000);
  EXPECT_EQ(tip().shown_time(), 1000u);

  // Moving on the same control changes nothing.
  Move({100, 30});
  EXPECT_EQ(tip().GetWindowRect().TopLeft(), (Point{90, 70}));
  EXPECT_EQ(tip().shown_time(), 1000u);
}

TEST_F(BalloonTipTest, NoTipWhenTheCursorLeftBeforeTheDelayEnded) {
  Move({50, 20});
  Slide({500, 300});  // left without the owner hearing of it
  Wait(500);
  EXPECT_FALSE(Shown());
  EXPECT_FALSE(headless().HasTimer(tip(), BalloonTip::kPollTimer));
  EXPECT_FALSE(tip().dismissed());
}

TEST_F(BalloonTipTest, PaintsTheFillTheFrameAndTheTextInsideTheMargins) {
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
  EXPECT_EQ(painter.items()[2].flags, BalloonTip::kDrawFlags);
  EXPECT_EQ(painter.items()[2].colour, backend_.GetSysColour(fw::SystemColour::TooltipText));
  EXPECT_EQ(painter.items()[2].text, kEditText);
}

TEST_F(TipTest, WithoutAColourOfItsOwnTheTipTakesTheSystemsTooltipColours) {
  TipOwner owner;
  ASSERT_TRUE(owner.CreateEx(0, fw::WindowKind::Dialog, "", fw::WS_POPUP | fw::WS_VISIBLE,
                             {0, 0, 200, 200}, nullptr, 0));
  fw::Window* button =
      owner.CreateControl(fw::WindowKind::Button, "", fw::WS_VISIBLE, {0, 0, 100, 20}, 1);
  ASSERT_TRUE(owner.tip.Create(&owner));
  ASSERT_TRUE(owner.tip.AddTool(button, "plain"));
  MoveTo(owner, {10, 10});
  Wait(500);
  fw::headless::RecordingPainter painter;
  owner.tip.OnPaint(painter);
  ASSERT_EQ(painter.items().size(), 3u);
  EXPECT_EQ(painter.items()[0].colour, backend_.GetSysColour(fw::SystemColour::TooltipBackground));
  // Wrapped to a width of 0: one word a line.
  EXPECT_EQ(owner.tip.GetWindowRect(), (Rect{10, 30, 10 + 30 + 5, 30 + 13 + 5}));
}

TEST_F(BalloonTipTest, GoesAfterTheHoldTimeAndStaysAwayUntilAnotherToolIsReached) {
  ShowEditTip();
  Wait(4999);
  EXPECT_TRUE(Shown());
  Wait(1);
  EXPECT_FALSE(Shown());
  EXPECT_TRUE(tip().dismissed());
  EXPECT_FALSE(headless().HasTimer(tip(), BalloonTip::kPollTimer));

  Move({60, 25});  // the same control
  Wait(2000);
  EXPECT_FALSE(Shown());

  Move({50, 60});  // another control
  Wait(500);
  EXPECT_EQ(ShownText(tip()), kButtonText);
  EXPECT_EQ(tip().GetWindowRect(), (Rect{90, 110, 90 + 192 + 5, 110 + 13 + 5}));
}

TEST_F(BalloonTipTest, LeavingEveryToolAfterwardsLetsTheSameToolShowItsTipAgain) {
  ShowEditTip();
  Wait(5000);
  ASSERT_FALSE(Shown());
  Move({500, 300});
  EXPECT_EQ(tip().current_tool(), nullptr);
  Move({50, 20});
  Wait(500);
  EXPECT_EQ(ShownText(tip()), kEditText);
}

TEST_F(BalloonTipTest, KeysAndClicksOtherThanAPlainLeftClickHideIt) {
  const std::vector<uint32_t> dismissing = {
      fw::WM_KEYDOWN,       fw::WM_KEYUP,           fw::WM_CHAR,          fw::WM_SYSKEYDOWN,
      fw::WM_KEYLAST,       fw::WM_LBUTTONDBLCLK,   fw::WM_RBUTTONDOWN,   fw::WM_RBUTTONDBLCLK,
      fw::WM_MBUTTONDOWN,   fw::WM_MBUTTONDBLCLK,   fw::WM_NCLBUTTONDOWN, fw::WM_NCLBUTTONDBLCLK,
      fw::WM_NCRBUTTONDOWN, fw::WM_NCRBUTTONDBLCLK, fw::WM_NCMBUTTONDOWN, fw::WM_NCMBUTTONDBLCLK,
  };
  for (uint32_t message : dismissing) {
    SCOPED_TRACE(message);
    Move({500, 300});
    ShowEditTip();
    tip().RelayEvent(fw::Msg{message, Control(kEdit), 0, {40, 10}, {90, 50}});
    EXPECT_FALSE(Shown());
    EXPECT_TRUE(tip().dismissed());
  }
  const std::vector<uint32_t> passing = {fw::WM_LBUTTONUP, fw::WM_RBUTTONUP, fw::WM_MBUTTONUP,
                                         fw::WM_COMMAND, fw::WM_TIMER};
  Move({500, 300});
  ShowEditTip();
  for (uint32_t message : passing) {
    SCOPED_TRACE(message);
    tip().RelayEvent(fw::Msg{message, Control(kEdit), 0, {40, 10}, {90, 50}});
    EXPECT_TRUE(Shown());
  }
}

TEST_F(BalloonTipTest, AKeyPressedInTheOwnerHidesTheTipForGood) {
  ShowEditTip();
  fw::UserPressKey(*Control(kEdit), 'A');
  EXPECT_FALSE(Shown());
  Wait(1000);
  EXPECT_FALSE(Shown());
  EXPECT_FALSE(headless().HasTimer(tip(), BalloonTip::kPollTimer));  // killed when it fired
}

TEST_F(BalloonTipTest, ALeftClickHidesTheTipUnlessTheCursorIsOnIt) {
  ShowEditTip();
  const Rect shown = tip().GetWindowRect();
  backend_.SetCursorPos({shown.left + 5, shown.top + 5});
  tip().RelayEvent(fw::Msg{fw::WM_LBUTTONDOWN, Control(kEdit), 0, {}, {}});
  EXPECT_TRUE(Shown());

  fw::UserClick(*Control(kBottom));
  EXPECT_FALSE(Shown());
  EXPECT_TRUE(tip().dismissed());
}

TEST_F(BalloonTipTest, MovingStraightToAnotherToolRestartsTheDelay) {
  // While the first tip is pending: it is forgotten.
  Move({50, 20});
  Wait(300);
  Move({50, 60});
  Wait(300);
  EXPECT_FALSE(Shown());
  Wait(199);
  EXPECT_FALSE(Shown());
  Wait(1);
  EXPECT_EQ(ShownText(tip()), kButtonText);

  // While a tip is shown: it goes at once.
  Move({50, 20});
  EXPECT_FALSE(Shown());
  EXPECT_FALSE(tip().dismissed());
  Wait(500);
  EXPECT_EQ(ShownText(tip()), kEditText);
}

TEST_F(BalloonTipTest, TheCursorReachingAnotherToolUnheardEndsTheTipAtTheNextPoll) {
  ShowEditTip();
  Slide({720, 20});
  Wait(499);
  EXPECT_TRUE(Shown());
  Wait(1);
  EXPECT_FALSE(Shown());
  EXPECT_TRUE(tip().dismissed());
}

TEST_F(BalloonTipTest, TheTipStaysWhileTheCursorRestsOnIt) {
  ShowEditTip();
  const Rect shown = tip().GetWindowRect();
  backend_.SetCursorPos({shown.left + 10, shown.top + 10});
  Wait(20000);
  EXPECT_TRUE(Shown());
  EXPECT_EQ(tip().shown_time(), 20000u);
  // Off the tip and off the tool: gone at the next poll.
  Slide({500, 300});
  Wait(500);
  EXPECT_FALSE(Shown());
}

TEST_F(BalloonTipTest, StaysOnTheScreenAtTheRightAndGoesAboveTheControlAtTheBottom) {
  // Cursor at screen 780,50: the 107-pixel tip ends at the screen's edge.
  Move({740, 20});
  Wait(500);
  EXPECT_EQ(ShownText(tip()), "At the right edge");
  EXPECT_EQ(tip().GetWindowRect(), (Rect{800 - 107, 70, 800, 88}));

  // Cursor at screen 390,585: 20 pixels lower the tip would pass 600, so
  // its bottom meets the control's top (screen 570).
  Move({350, 555});
  Wait(500);
  EXPECT_EQ(ShownText(tip()), "Near the bottom of the screen");
  EXPECT_EQ(tip().GetWindowRect(), (Rect{390, 570 - 18, 390 + 174 + 5, 570}));
}

TEST_F(BalloonTipTest, PlacesATipWiderThanTheScreenAtItsLeftEdge) {
  const BalloonTip::Tool& tool = tip().tools()[0];
  EXPECT_EQ(tip().PlaceTip({700, 100}, tool, {0, 0, 900, 20}), (Rect{0, 100, 900, 120}));
  EXPECT_EQ(tip().PlaceTip({700, 100}, tool, {0, 0, 50, 20}), (Rect{700, 100, 750, 120}));
  // Both edges at once: left and up (the edit's top is at screen 40).
  EXPECT_EQ(tip().PlaceTip({790, 590}, tool, {0, 0, 50, 20}), (Rect{750, 20, 800, 40}));
}

TEST_F(BalloonTipTest, MeasuresLinesAtTheToolsWidthPlusTheMargins) {
  EXPECT_EQ(tip().MeasureTip("one\ntwo three", 200), (Rect{0, 0, 9 * 6 + 5, 2 * 13 + 5}));
  EXPECT_EQ(tip().MeasureTip("a\tb", 200), (Rect{0, 0, 9 * 6 + 5, 13 + 5}));
  EXPECT_EQ(tip().MeasureTip("", 200), (Rect{0, 0, 5, 5}));
  EXPECT_EQ(tip().MeasureTip("one two", 0), (Rect{0, 0, 3 * 6 + 5, 2 * 13 + 5}));
}

TEST_F(BalloonTipTest, ShowsNothingWhileInactiveOrForAnEmptyText) {
  tip().SetActive(false);
  Move({50, 20});
  Wait(2000);
  EXPECT_FALSE(Shown());
  tip().SetActive(true);

  Move({50, 140});  // the tool without text
  Wait(2000);
  EXPECT_FALSE(Shown());
  Move({50, 20});
  Wait(500);
  EXPECT_TRUE(Shown());
}

TEST_F(BalloonTipTest, FollowsTheSystemFontOnlyWhileItHasIt) {
  EXPECT_TRUE(tip().follows_system_font());
  const fw::Font big{"DejaVu Sans", 14};
  tip().SetFont(big);
  EXPECT_FALSE(tip().follows_system_font());
  EXPECT_EQ(tip().GetFont(), big);
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

TEST_F(BalloonTipTest, NeverActivatesAndGivesTheFocusBackOnAClick) {
  EXPECT_EQ(tip().OnMouseActivate(), MA_NOACTIVATE);
  EXPECT_EQ(MA_NOACTIVATE, 3);
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

TEST_F(BalloonTipTest, AControlThatGoesTakesItsTipWithIt) {
  Move({50, 20});
  Control(kEdit)->DestroyWindow();
  Wait(500);
  EXPECT_FALSE(Shown());
  EXPECT_EQ(tip().ToolFromPoint({50, 20}), nullptr);
  Wait(500);
  EXPECT_FALSE(headless().HasTimer(tip(), BalloonTip::kPollTimer));
}

TEST_F(BalloonTipTest, DestroyingTheTipStopsItsTimersAndTheOwnerStopsRelaying) {
  ShowEditTip();
  Move({720, 20});
  ASSERT_TRUE(headless().HasTimer(tip(), BalloonTip::kDelayTimer));
  tip().DestroyWindow();
  EXPECT_FALSE(headless().HasTimer(tip(), BalloonTip::kDelayTimer));
  EXPECT_FALSE(headless().HasTimer(tip(), BalloonTip::kPollTimer));
  const int relayed = owner_.relayed;
  Move({50, 20});
  EXPECT_EQ(owner_.relayed, relayed + 1);
  Wait(1000);
  EXPECT_FALSE(Shown());

  // Without its owner a tip finds no tool and still hides on a key.
  TipOwner other;
  ASSERT_TRUE(other.CreateEx(0, fw::WindowKind::Dialog, "", fw::WS_POPUP | fw::WS_VISIBLE,
                             {0, 0, 200, 200}, nullptr, 0));
  ASSERT_TRUE(other.tip.Create(&other));
  other.DestroyWindow();
  other.tip.RelayEvent(fw::Msg{fw::WM_MOUSEMOVE, nullptr, 0, {10, 10}, {10, 10}});
  other.tip.RelayEvent(fw::Msg{fw::WM_KEYDOWN, nullptr, 0, {10, 10}, {10, 10}});
  EXPECT_EQ(other.tip.current_tool(), nullptr);
  EXPECT_TRUE(other.tip.dismissed());
}

}  // namespace
}  // namespace nuv::test
