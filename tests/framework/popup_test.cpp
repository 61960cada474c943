// A custom-painted pop-up on the headless backend: measured with the fixed
// metrics, painted into a recording when shown, its text readable back.
#include "framework/popup_window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/headless/recording_painter.h"
#include "framework/painter.h"
#include "framework_fixture.h"

namespace nuv::fw {
namespace {

constexpr uint32_t kFlags = DT_WORDBREAK | DT_EXPANDTABS | DT_EXTERNALLEADING | DT_NOPREFIX;

class Tip : public PopupWindow {
 public:
  void OnPaint(Painter& painter) override {
    ++paints;
    const Rect client = GetClientRect();
    painter.FillRect(client, RGB(187, 247, 172));
    painter.FrameRect(client);
    Rect text_rect{2, 2, client.right - 3, client.bottom - 3};
    painter.DrawText(text, text_rect, kFlags, Font{}, 0);
  }
  std::string text;
  int paints = 0;
};

using PopupTest = testing::FrameworkTest;

TEST_F(PopupTest, IsATopMostHiddenPopupOwnedByItsOwner) {
  Window owner;
  ASSERT_TRUE(owner.CreateEx(0, WindowKind::Frame, "", WS_POPUP | WS_VISIBLE, {0, 0, 800, 600},
                             nullptr, 0));
  Tip tip;
  ASSERT_TRUE(tip.Create(&owner));
  EXPECT_EQ(tip.kind(), WindowKind::Popup);
  EXPECT_EQ(tip.GetOwner(), &owner);
  EXPECT_NE(tip.GetExStyle() & WS_EX_TOPMOST, 0u);
  EXPECT_EQ(tip.GetStyle() & (WS_POPUP | WS_VISIBLE), WS_POPUP);
  EXPECT_EQ(tip.GetWindowRect(), (Rect{0, 0, 10, 10}));
  EXPECT_EQ(tip.paints, 0);
  owner.DestroyWindow();
  EXPECT_FALSE(tip.IsWindow());
}

TEST_F(PopupTest, ShowingPaintsItAndTheShownTextIsKept) {
  Tip tip;
  ASSERT_TRUE(tip.Create(nullptr));
  tip.text = "Select a flash binary file for edit.";
  // What the tool does: measure at 200 pixels, add the margins, show there.
  // The 36 characters do not fit the 33 of 200 pixels: "edit." wraps.
  const Rect extent =
      backend_.MeasureText(backend_.StatusFont(), tip.text, {0, 0, 200, 0}, kFlags | DT_CALCRECT);
  EXPECT_EQ(extent, (Rect{0, 0, 30 * 6, 2 * 13}));
  tip.ShowAt({100, 120, 100 + extent.right + 5, 120 + extent.bottom + 5});
  EXPECT_TRUE(tip.IsWindowVisible());
  EXPECT_EQ(tip.GetWindowRect(), (Rect{100, 120, 285, 151}));
  EXPECT_EQ(backend_.ShownText(tip), "Select a flash binary file for edit.");
  EXPECT_EQ(Appearances(),
            (std::vector<std::string>{"open PopupWindow Select a flash binary file for edit."}));

  // Shown again elsewhere: hidden first, then moved and shown in one step.
  tip.text = "Clear the current selected file.";
  tip.ShowAt({0, 0, 50, 50});
  EXPECT_EQ(backend_.ShownText(tip), "Clear the current selected file.");
  EXPECT_EQ(Appearances().size(), 3u);
  EXPECT_EQ(Appearances()[1], "close PopupWindow");

  tip.Hide();
  tip.text = "changed while hidden";
  tip.Invalidate();  // a hidden window is not painted
  EXPECT_EQ(backend_.ShownText(tip), "Clear the current selected file.");
  tip.DestroyWindow();
  EXPECT_EQ(backend_.ShownText(tip), "");
}

TEST(RecordingPainter, RecordsDrawingAndMeasuresWithCalcRect) {
  headless::RecordingPainter painter;
  painter.FillRect({0, 0, 5, 5}, RGB(1, 2, 3));
  painter.FrameRect({0, 0, 5, 5});
  Rect measured{10, 10, 40, 10};
  EXPECT_EQ(painter.DrawText("ab cd", measured, DT_WORDBREAK | DT_CALCRECT, Font{}, 0), 13);
  EXPECT_EQ(measured, (Rect{10, 10, 40, 23}));  // "ab cd" fits 30 pixels exactly
  Rect narrow{0, 0, 12, 0};
  painter.DrawText("ab cd", narrow, DT_WORDBREAK, Font{}, 0);
  painter.DrawText("second", narrow, 0, Font{}, 0);
  ASSERT_EQ(painter.items().size(), 4u);
  EXPECT_EQ(painter.items()[0].colour, RGB(1, 2, 3));
  EXPECT_EQ(painter.items()[2].text, "ab cd");
  EXPECT_EQ(painter.DrawnText(), "ab cd\nsecond");
}

}  // namespace
}  // namespace nuv::fw
