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

// A running application on the headless screen, torn down after each test.
class TipTest : public ::testing::Test {
 protected:
  TipTest()
      : app_("nuvhost", std::make_unique<plugin::test::RecordingBackend>()),
        backend_(static_cast<plugin::test::RecordingBackend&>(app_.backend())) {}

  fw::headless::HeadlessBackend& headless() { return backend_.headless(); }
  // The user moves the mouse to a point of `window`'s client area.
  static void MoveTo(const fw::Window& window, Point client) {
    fw::UserMoveMouse(window.ClientToScreen(client));
  }
  // Lets time pass on the virtual clock.
  void Wait(uint64_t ms) { headless().AdvanceClock(ms); }
  // The text the shown tip painted ("" when none is shown).
  std::string ShownText(const BalloonTip& tip) {
    return tip.IsWindowVisible() ? headless().ShownText(tip) : std::string();
  }
  // A visible owner window at `rect` with a tip and one button at 0,0 to
  // 100,20 that carries `text`.
  static fw::Window* OwnerWithButton(TipOwner& owner, std::string_view text, Rect rect) {
    EXPECT_TRUE(owner.CreateEx(0, fw::WindowKind::Dialog, "", fw::WS_POPUP | fw::WS_VISIBLE, rect,
                               nullptr, 0));
    fw::Window* button =
        owner.CreateControl(fw::WindowKind::Button, "", fw::WS_VISIBLE, {0, 0, 100, 20}, 1);
    EXPECT_EQ(owner.tip.Create(&owner), BalloonTip::CreateResult::kCreated);
    EXPECT_TRUE(text.empty() ||
                owner.tip.AddTool(button, text) == BalloonTip::AddToolResult::kAdded);
    return button;
  }

  fw::Application app_;
  plugin::test::RecordingBackend& backend_;
};

constexpr uint32_t kEdit = 100;
constexpr uint32_t kButton = 101;
constexpr uint32_t kDisabled = 103;
constexpr uint32_t kRight = 105;

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
    Make(fw::WindowKind::GroupBox, {200, 10, 400, 200}, 102);
    Make(fw::WindowKind::Button, {10, 90, 110, 113}, kDisabled)->EnableWindow(false);
    Make(fw::WindowKind::Button, {700, 10, 750, 33}, kRight);
    Make(fw::WindowKind::Edit, {10, 130, 110, 153}, 106);

    ASSERT_EQ(tip().Create(&owner_), BalloonTip::CreateResult::kCreated);
    tip().SetActive(true);
    tip().SetMaxWidth(kTipWidth);
    tip().SetBackgroundColour(kTipBackground);
    ASSERT_EQ(tip().AddTool(Control(kEdit), kEditText), BalloonTip::AddToolResult::kAdded);
    ASSERT_EQ(tip().AddTool(Control(kButton), kButtonText), BalloonTip::AddToolResult::kAdded);
    ASSERT_EQ(tip().AddTool(Control(kDisabled), "Disabled"), BalloonTip::AddToolResult::kAdded);
    ASSERT_EQ(tip().AddTool(Control(kRight), "At the right edge"),
              BalloonTip::AddToolResult::kAdded);
    ASSERT_EQ(tip().AddTool(Control(106), ""), BalloonTip::AddToolResult::kAdded);
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
  bool Polls() { return headless().HasTimer(tip(), BalloonTip::kPollTimer); }
  // Rests on the edit until its tip is up.
  void ShowEditTip() {
    Move({50, 20});
    Wait(500);
    ASSERT_TRUE(Shown());
  }

  TipOwner owner_;
};

TEST_F(TipTest, NeedsAnOwnerWindowAndGoesWithIt) {
  TipOwner owner;
  BalloonTip& tip = owner.tip;
  EXPECT_EQ(BalloonTip::kDrawFlags, 0xA50u);
  EXPECT_EQ(tip.Create(nullptr), BalloonTip::CreateResult::kNotCreated);
  EXPECT_EQ(tip.Create(&owner), BalloonTip::CreateResult::kNotCreated);
  ASSERT_TRUE(
      owner.CreateEx(0, fw::WindowKind::Dialog, "", fw::WS_POPUP, {0, 0, 100, 100}, nullptr, 0));
  fw::Window* edit = owner.CreateControl(fw::WindowKind::Edit, "", 0, {0, 0, 10, 10}, 1);
  EXPECT_EQ(tip.AddTool(edit, "text"), BalloonTip::AddToolResult::kNotAdded);  // no tip window yet
  EXPECT_TRUE(tip.tools().empty());

  ASSERT_EQ(tip.Create(&owner), BalloonTip::CreateResult::kCreated);
  EXPECT_EQ(tip.Create(&owner), BalloonTip::CreateResult::kNotCreated);  // once
  EXPECT_EQ(tip.kind(), fw::WindowKind::Popup);
  EXPECT_EQ(tip.GetOwner(), &owner);
  EXPECT_NE(tip.GetExStyle() & fw::WS_EX_TOPMOST, 0u);
  EXPECT_FALSE(tip.IsWindowVisible());
  EXPECT_EQ(tip.GetFont(), backend_.StatusFont());
  EXPECT_EQ(tip.AddTool(nullptr, "no control"), BalloonTip::AddToolResult::kNotAdded);
  EXPECT_EQ(tip.AddTool(edit, "text"), BalloonTip::AddToolResult::kAdded);
  owner.DestroyWindow();
  EXPECT_FALSE(tip.IsWindow());
}

TEST_F(BalloonTipTest, ToolsCoverTheirControlInOwnerCoordinatesWithTheCurrentDefaults) {
  const BalloonTip::Tool& edit = tip().tools()[0];
  EXPECT_EQ(edit.control.get(), Control(kEdit));
  EXPECT_EQ(edit.id, 0u);
  EXPECT_EQ(edit.rect, (Rect{10, 10, 110, 33}));
  EXPECT_EQ(edit.width, 200);
  EXPECT_EQ(edit.background, kTipBackground);
  EXPECT_EQ(edit.text_colour, BalloonTip::kSystemColour);
  // A part of the control, given in the control's own coordinates.
  ASSERT_EQ(tip().AddTool(Control(kButton), "left half", Rect{0, 0, 50, 23}, 7),
            BalloonTip::AddToolResult::kAdded);
  EXPECT_EQ(tip().tools().back().rect, (Rect{10, 50, 60, 73}));
  EXPECT_EQ(tip().tools().back().id, 7u);
}

TEST_F(BalloonTipTest, ToolsTakeANewWidthAndBackgroundAndSoDoToolsAddedLater) {
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

TEST_F(BalloonTipTest, FindsTheToolOfTheControlUnderAPoint) {
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

  // A window above the owner hides the control beneath it.
  fw::Window cover;
  ASSERT_TRUE(cover.CreateEx(0, fw::WindowKind::Frame, "", fw::WS_POPUP | fw::WS_VISIBLE,
                             {kOrigin.x, kOrigin.y, kOrigin.x + 60, kOrigin.y + 60}, nullptr, 0));
  EXPECT_EQ(text({50, 20}), "(none)");
  cover.DestroyWindow();
  EXPECT_EQ(text({50, 20}), kEditText);
}

TEST_F(TipTest, TheFirstToolOfAControlDecidesEvenOutsideItsArea) {
  TipOwner owner;
  fw::Window* button = OwnerWithButton(owner, "", {0, 0, 200, 200});
  ASSERT_EQ(owner.tip.AddTool(button, "left", Rect{0, 0, 50, 20}),
            BalloonTip::AddToolResult::kAdded);
  ASSERT_EQ(owner.tip.AddTool(button, "whole"), BalloonTip::AddToolResult::kAdded);
  EXPECT_EQ(owner.tip.ToolFromPoint({10, 10})->text, "left");
  EXPECT_EQ(owner.tip.ToolFromPoint({70, 10}), nullptr);
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

TEST_F(TipTest, WithoutSettingsOfItsOwnTheTipTakesTheSystemsColoursAndWidthZero) {
  TipOwner owner;
  OwnerWithButton(owner, "plain", {0, 0, 200, 200});
  MoveTo(owner, {10, 10});
  Wait(500);
  fw::headless::RecordingPainter painter;
  owner.tip.OnPaint(painter);
  ASSERT_EQ(painter.items().size(), 3u);
  EXPECT_EQ(painter.items()[0].colour, backend_.GetSysColour(fw::SystemColour::TooltipBackground));
  // Wrapped to a width of 0: one word a line.
  EXPECT_EQ(owner.tip.GetWindowRect(), (Rect{10, 30, 10 + 30 + 5, 30 + 13 + 5}));
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
  Wait(500);
  EXPECT_FALSE(Polls());  // killed when it fired
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

TEST_F(BalloonTipTest, ALeftClickHidesTheTipUnlessTheCursorIsOnIt) {
  ShowEditTip();
  const Rect shown = tip().GetWindowRect();
  backend_.SetCursorPos({shown.left + 5, shown.top + 5});
  tip().RelayEvent(fw::Msg{fw::WM_LBUTTONDOWN, Control(kEdit), 0, {}, {}});
  EXPECT_TRUE(Shown());
  fw::UserClick(*Control(kRight));
  EXPECT_FALSE(Shown());
  EXPECT_TRUE(tip().dismissed());
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
  // Off the tip, onto a control without a tool: gone at the next poll.
  Move({300, 100});
  Wait(500);
  EXPECT_FALSE(Shown());
}

TEST_F(BalloonTipTest, PlacesTheTipOnTheScreenAndMeasuresItWithItsMargins) {
  const BalloonTip::Tool& tool = tip().tools()[0];
  EXPECT_EQ(tip().PlaceTip({700, 100}, tool, {0, 0, 900, 20}), (Rect{0, 100, 900, 120}));
  EXPECT_EQ(tip().PlaceTip({700, 100}, tool, {0, 0, 50, 20}), (Rect{700, 100, 750, 120}));
  // Both edges at once: left, and up above the edit (its top at screen 40).
  EXPECT_EQ(tip().PlaceTip({790, 590}, tool, {0, 0, 50, 20}), (Rect{750, 20, 800, 40}));

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

TEST_F(BalloonTipTest, NeverActivatesAndGivesTheFocusBackOnAClick) {
  EXPECT_EQ(tip().OnMouseActivate(), MA_NOACTIVATE);
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
  EXPECT_FALSE(Polls());
}

TEST_F(BalloonTipTest, DestroyingTheTipStopsItsTimersAndTheOwnerStopsRelaying) {
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

  // Without its owner a tip finds no tool and still hides on a key.
  TipOwner other;
  OwnerWithButton(other, "", {0, 0, 200, 200});
  other.DestroyWindow();
  other.tip.RelayEvent(fw::Msg{fw::WM_MOUSEMOVE, nullptr, 0, {10, 10}, {10, 10}});
  other.tip.RelayEvent(fw::Msg{fw::WM_KEYDOWN, nullptr, 0, {10, 10}, {10, 10}});
  EXPECT_EQ(other.tip.current_tool(), nullptr);
  EXPECT_TRUE(other.tip.dismissed());
}

}  // namespace
}  // namespace nuv::test
