#include "framework/dialog_units.h"

#include <gtest/gtest.h>

#include <limits>

namespace nuv::fw {
namespace {

TEST(MulDiv, RoundsHalfAwayFromZero) {
  EXPECT_EQ(MulDiv(7, 6, 4), 11);    // 10.5
  EXPECT_EQ(MulDiv(5, 6, 4), 8);     // 7.5
  EXPECT_EQ(MulDiv(-7, 6, 4), -11);  // -10.5
  EXPECT_EQ(MulDiv(7, -6, 4), -11);
  EXPECT_EQ(MulDiv(7, 6, -4), -11);
  EXPECT_EQ(MulDiv(-7, -6, -4), -11);
  EXPECT_EQ(MulDiv(7, 13, 8), 11);  // 11.375
  EXPECT_EQ(MulDiv(3, 13, 8), 5);   // 4.875
  EXPECT_EQ(MulDiv(2, 1, 3), 1);    // 0.667
  EXPECT_EQ(MulDiv(1, 1, 3), 0);    // 0.333
}

TEST(MulDiv, UsesAWideIntermediateAndFailsLikeWin32) {
  const int big = std::numeric_limits<int>::max();
  EXPECT_EQ(MulDiv(big, 4, 4), big);
  EXPECT_EQ(MulDiv(big, 2, 1), -1);  // does not fit
  EXPECT_EQ(MulDiv(5, 6, 0), -1);
}

TEST(DialogUnits, ConvertWithBaseUnitsSixByThirteen) {
  EXPECT_EQ(DialogUnitsToPixelsX(4), 6);
  EXPECT_EQ(DialogUnitsToPixelsY(8), 13);
  EXPECT_EQ(DialogUnitsToPixelsX(451), 677);  // 676.5
  EXPECT_EQ(DialogUnitsToPixelsY(543), 882);  // 882.375
  // Each edge on its own: width 50 at x 372 ends at 633, 75 pixels on.
  EXPECT_EQ(MapDialogRect({372, 21, 422, 35}), (Rect{558, 34, 633, 57}));
  EXPECT_EQ(TemplateRectToPixels(372, 21, 50, 14), (Rect{558, 34, 633, 57}));
  // Adjacent controls share their edges.
  EXPECT_EQ(TemplateRectToPixels(0, 0, 3, 3).right, TemplateRectToPixels(3, 3, 3, 3).left);
}

}  // namespace
}  // namespace nuv::fw
