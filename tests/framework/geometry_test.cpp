// Coordinates, the child at a point and the window at a screen point.
#include <gtest/gtest.h>

#include "framework/application.h"
#include "framework/popup_window.h"
#include "framework/window.h"
#include "framework_fixture.h"

namespace nuv::fw {
namespace {

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
    label_ = top_.CreateControl(WindowKind::Static, "l", WS_VISIBLE, {300, 10, 390, 30}, 5);
    ASSERT_NE(label_, nullptr);
  }

  Window top_;
  Window* group_ = nullptr;
  Window* inner_ = nullptr;
  Window* hidden_ = nullptr;
  Window* disabled_ = nullptr;
  Window* label_ = nullptr;
};

TEST_F(GeometryTest, ConvertsBetweenClientAndScreenThroughEveryParent) {
  EXPECT_EQ(inner_->GetWindowRect(), (Rect{120, 70, 220, 90}));
  EXPECT_EQ(inner_->GetClientRect(), (Rect{0, 0, 100, 20}));
  EXPECT_EQ(inner_->ClientToScreen(Point{3, 4}), (Point{123, 74}));
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

TEST_F(GeometryTest, TheChildAtAPointCountsEveryChildTheFirstMadeOnTop) {
  EXPECT_EQ(top_.ChildWindowFromPoint({30, 30}), group_);     // the group lies over the edit
  EXPECT_EQ(top_.ChildWindowFromPoint({250, 60}), &top_);     // no child there
  EXPECT_EQ(top_.ChildWindowFromPoint({400, 400}), nullptr);  // outside the client area
  EXPECT_EQ(top_.ChildWindowFromPoint({-1, 5}), nullptr);
  EXPECT_EQ(group_->ChildWindowFromPoint({5, 5}), group_);
  // Hidden and disabled children count.
  group_->MoveWindow({0, 0, 1, 1});
  EXPECT_EQ(top_.ChildWindowFromPoint({30, 60}), hidden_);
  EXPECT_EQ(top_.ChildWindowFromPoint({30, 90}), disabled_);
}

TEST_F(GeometryTest, TheWindowAtAScreenPointIsTheDeepestVisibleOneOnTop) {
  // Group boxes and labels let the point through; the edit beneath answers.
  EXPECT_EQ(app_.WindowFromPoint({130, 80}), inner_);
  EXPECT_EQ(app_.WindowFromPoint({410, 70}), &top_);
  // A hidden control is not there; a disabled one gives the point to its parent.
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
  std::vector<Window*> order = app_.TopLevelWindows();
  ASSERT_EQ(order.size(), 3u);
  EXPECT_EQ(order[0], &popup);
  EXPECT_EQ(order[1], &top_);
  EXPECT_EQ(order[2], &later);
}

}  // namespace
}  // namespace nuv::fw
