// The tips of a described field block as the field edit dialog sets them
// up: one tool per input control, its text the field's description with
// each backslash-n read as a line break (legacy::TipText). The dialog here
// lays its fields out as the field edit dialog does, four to a line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "described_fields_dialog.h"
#include "legacy/script_model.h"
#include "tip_fixture.h"

namespace nuv::test {
namespace {

using fw::Rect;

class DescribedFieldsTest : public TipTest {
 protected:
  // The mouse rests on a point of the dialog until a tip could be up.
  void Rest(fw::Point client) {
    MoveTo(dialog_, client);
    Wait(500);
  }

  DescribedFieldsDialog dialog_;
};

TEST_F(DescribedFieldsTest, ADescriptionWithBackslashNShowsOnTwoLines) {
  ASSERT_TRUE(dialog_.Open({
      DescribedField("Standby", R"(Standby delay in seconds\nRange 0 to 255)"),
      DescribedField("LED", R"(Blinks the standby LED while the box sleeps\nOff: 0)"),
      DescribedField("Silent", ""),
  }));
  // On the first input (115 to 227, 10 to 30): two lines, the longer of 24
  // characters, and the margins.
  Rest({150, 20});
  ASSERT_TRUE(dialog_.tip.IsWindowVisible());
  EXPECT_EQ(ShownText(dialog_.tip), "Standby delay in seconds\nRange 0 to 255");
  EXPECT_EQ(dialog_.tip.GetWindowRect(), (Rect{150, 40, 150 + 24 * 6 + 5, 40 + 2 * 13 + 5}));

  // A line longer than 200 pixels still wraps before the line break.
  Rest({370, 20});
  EXPECT_EQ(ShownText(dialog_.tip), "Blinks the standby LED while the box sleeps\nOff: 0");
  EXPECT_EQ(dialog_.tip.GetWindowRect(), (Rect{370, 40, 370 + 32 * 6 + 5, 40 + 3 * 13 + 5}));

  // No description, no tip; and the labels carry none.
  Rest({600, 20});
  EXPECT_FALSE(dialog_.tip.IsWindowVisible());
  Rest({50, 20});
  EXPECT_FALSE(dialog_.tip.IsWindowVisible());
  EXPECT_EQ(dialog_.tip.ToolFromPoint({50, 20}), nullptr);
}

TEST_F(DescribedFieldsTest, AnInputOnTheLastLinesShowsItsTipAboveIt) {
  // 88 fields: the last line (21) spans 535 to 555; a tip of two lines 20
  // pixels below a cursor at 550 would end at 601.
  std::vector<legacy::ScriptField> fields;
  for (int i = 0; i < 88; ++i)
    fields.push_back(DescribedField("F" + std::to_string(i), R"(Field\nof the block)"));
  ASSERT_TRUE(dialog_.Open(fields));
  // Field 84, first of the line: a cursor at 549 leaves just room below.
  Rest({150, 549});
  ASSERT_TRUE(dialog_.tip.IsWindowVisible());
  EXPECT_EQ(dialog_.tip.GetWindowRect(), (Rect{150, 569, 150 + 12 * 6 + 5, 600}));
  // Field 85 beside it, one pixel lower: the tip's bottom meets the input's
  // top.
  Rest({370, 550});
  ASSERT_TRUE(dialog_.tip.IsWindowVisible());
  EXPECT_EQ(ShownText(dialog_.tip), "Field\nof the block");
  EXPECT_EQ(dialog_.tip.GetWindowRect(), (Rect{370, 535 - 31, 370 + 12 * 6 + 5, 535}));
}

}  // namespace
}  // namespace nuv::test
