#include "framework/headless/fixed_font_metrics.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/constants.h"

namespace nuv::fw::headless {
namespace {

constexpr uint32_t kTipFlags = DT_WORDBREAK | DT_EXPANDTABS | DT_EXTERNALLEADING | DT_NOPREFIX;

using Lines = std::vector<std::string>;

TEST(FixedFontMetrics, WrapsAtBlanksWithoutCountingTheBlanksWhereItBroke) {
  // 200 pixels hold 33 characters.
  const TextLayout layout =
      LayoutText("It's only for experts, customers should not check it.", 200, kTipFlags);
  EXPECT_EQ(layout.lines, (Lines{"It's only for experts, customers", "should not check it."}));
  EXPECT_EQ(layout.width, 32 * 6);
  EXPECT_EQ(layout.height, 26);

  // A word that ends exactly at the edge stays; the blanks after it go.
  const TextLayout exact = LayoutText("abcde     fghij", 30, DT_WORDBREAK);
  EXPECT_EQ(exact.lines, (Lines{"abcde", "fghij"}));
  EXPECT_EQ(exact.width, 30);
}

TEST(FixedFontMetrics, KeepsLineBreaksAndLetsALongWordStandAlone) {
  const TextLayout layout = LayoutText("a\r\nbb\nverylongword x", 30, DT_WORDBREAK);
  EXPECT_EQ(layout.lines, (Lines{"a", "bb", "verylongword", "x"}));
  EXPECT_EQ(layout.width, 12 * 6);  // the long word sets the width
  EXPECT_EQ(layout.height, 4 * 13);
}

TEST(FixedFontMetrics, LeadingBlanksCountTabsExpandAndUtf8CountsCharacters) {
  EXPECT_EQ(LayoutText("  ab", 600, DT_WORDBREAK).width, 4 * 6);
  EXPECT_EQ(LayoutText("a\tb", 600, DT_EXPANDTABS).width, 9 * 6);
  EXPECT_EQ(LayoutText("a\tb", 600, 0).width, 3 * 6);
  EXPECT_EQ(LayoutText("\xC3\xA9t\xC3\xA9", 600, 0).width, 3 * 6);  // "été"
}

TEST(FixedFontMetrics, SingleLineAndNoWrappingIgnoreTheWidth) {
  EXPECT_EQ(LayoutText("one two\nthree", 6, DT_SINGLELINE | DT_WORDBREAK).lines,
            (Lines{"one twothree"}));
  EXPECT_EQ(LayoutText("one two", 6, 0).lines, (Lines{"one two"}));
  const TextLayout empty = LayoutText("", 100, kTipFlags);
  EXPECT_TRUE(empty.lines.empty());
  EXPECT_EQ(empty.width, 0);
  EXPECT_EQ(empty.height, 0);
}

}  // namespace
}  // namespace nuv::fw::headless
