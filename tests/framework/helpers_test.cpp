// The framework's helpers without windows: numbers typed into edits, dialog
// units, the headless text layout, file names and filters, the recording
// painter.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "framework/constants.h"
#include "framework/data_exchange.h"
#include "framework/dialog_units.h"
#include "framework/file_names.h"
#include "framework/headless/fixed_font_metrics.h"
#include "framework/headless/recording_painter.h"

namespace nuv::fw {
namespace {

template <class T>
void ExpectDecimal(const char* text, std::optional<T> expected) {
  T value = 99;
  EXPECT_EQ(ParseDecimal(text, value), expected.has_value()) << text;
  EXPECT_EQ(value, expected.value_or(99)) << text;  // a refused text leaves the value
}

TEST(ParseDecimal, TakesWholeNumbersWithinRangeOnly) {
  ExpectDecimal<int32_t>("  -2147483648\t", INT32_MIN);
  ExpectDecimal<int32_t>("+17", 17);
  ExpectDecimal<uint32_t>("4294967295", 4294967295u);
  ExpectDecimal<uint32_t>("+0", 0u);
  for (const char* bad :
       {"", " ", "2147483648", "-2147483649", "12a", "0x10", "1 2", "+-1", "- 1", "++1", "1.5"})
    ExpectDecimal<int32_t>(bad, std::nullopt);
  for (const char* bad : {"-1", "-0", "4294967296", "", "abc"})
    ExpectDecimal<uint32_t>(bad, std::nullopt);
}

TEST(MulDiv, RoundsHalfAwayFromZeroThroughAWideIntermediateAndFailsLikeWin32) {
  const int big = std::numeric_limits<int>::max();
  const struct {
    int number, numerator, denominator, result;
  } cases[] = {
      {7, 6, 4, 11},     {5, 6, 4, 8},    {-7, 6, 4, -11}, {7, -6, 4, -11}, {7, 6, -4, -11},
      {-7, -6, -4, -11}, {7, 13, 8, 11},  {3, 13, 8, 5},   {2, 1, 3, 1},    {1, 1, 3, 0},
      {big, 4, 4, big},  {big, 2, 1, -1}, {5, 6, 0, -1},
  };
  for (const auto& c : cases)
    EXPECT_EQ(MulDiv(c.number, c.numerator, c.denominator), c.result)
        << c.number << " * " << c.numerator << " / " << c.denominator;
}

// Dialog units to pixels, each edge on its own, are in every control's
// place in the UI transcripts and in the Qt widgets' geometry.

using Lines = std::vector<std::string>;

TEST(FixedFontMetrics, WrapsAtBlanksWithoutCountingTheBlanksWhereItBroke) {
  constexpr uint32_t kTip = DT_WORDBREAK | DT_EXPANDTABS | DT_EXTERNALLEADING | DT_NOPREFIX;
  const struct {
    const char* text;
    int max_width;
    uint32_t flags;
    Lines lines;
    int width;
  } cases[] = {
      // 200 pixels hold 33 characters.
      {"It's only for experts, customers should not check it.",
       200,
       kTip,
       {"It's only for experts, customers", "should not check it."},
       32 * 6},
      // A word that ends exactly at the edge stays; the blanks after it go.
      {"abcde     fghij", 30, DT_WORDBREAK, {"abcde", "fghij"}, 30},
      // Line breaks are kept; a word longer than the width stands alone.
      {"a\r\nbb\nverylongword x", 30, DT_WORDBREAK, {"a", "bb", "verylongword", "x"}, 12 * 6},
      {"one two\nthree", 6, DT_SINGLELINE | DT_WORDBREAK, {"one twothree"}, 12 * 6},
      {"one two", 6, 0, {"one two"}, 7 * 6},
      {"", 100, kTip, {}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const headless::TextLayout layout = headless::LayoutText(c.text, c.max_width, c.flags);
    EXPECT_EQ(layout.lines, c.lines);
    EXPECT_EQ(layout.width, c.width);
    EXPECT_EQ(layout.height, 13 * static_cast<int>(c.lines.size()));
  }
  // Leading blanks count, tabs expand to the next eighth character, UTF-8
  // counts characters.
  EXPECT_EQ(headless::LayoutText("  ab", 600, DT_WORDBREAK).width, 4 * 6);
  EXPECT_EQ(headless::LayoutText("a\tb", 600, DT_EXPANDTABS).width, 9 * 6);
  EXPECT_EQ(headless::LayoutText("a\tb", 600, 0).width, 3 * 6);
  EXPECT_EQ(headless::LayoutText("\xC3\xA9t\xC3\xA9", 600, 0).width, 3 * 6);  // "été"
}

TEST(DefaultExtension, IsAddedOnlyToANameTypedWithoutOne) {
  const struct {
    const char* typed;
    const char* extension;
    const char* result;
  } cases[] = {
      {"out", "bin", "out.bin"},
      {"dir.v2/out", "bin", "dir.v2/out.bin"},
#ifdef _WIN32  // a backslash separates folders there
      {"dir.v2\\out", "hex", "dir.v2\\out.hex"},
#else
      {"dir.v2\\out", "hex", "dir.v2\\out"},  // a backslash is part of the name here
#endif
      {"/abs/out", "hex", "/abs/out.hex"},
      {"out.txt", "bin", "out.txt"},
      {"out.tar.gz", "bin", "out.tar.gz"},
      {"name.", "bin", "name."},
      {"out", "", "out"},
      {"", "bin", ""},
      {"dir/", "bin", "dir/"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ApplyDefaultExtension(c.typed, c.extension), c.result) << c.typed;
}

TEST(Filters, AreReadAsPairsUpToTheEmptyText) {
  const FileFilter bar = ParseBarFilter("BIN files(*.bin)|*.bin|All   files   (*.*)|*.*||");
  EXPECT_EQ(bar, (FileFilter{{"BIN files(*.bin)", "*.bin"}, {"All   files   (*.*)", "*.*"}}));
  EXPECT_EQ(ParseBarFilter("a|*.a|b||c|*.c||").size(), 1u);  // "b" lacks its pattern
  EXPECT_TRUE(ParseBarFilter("").empty());

  const char nul[] = "bin files (*.bin)\0*.bin\0All Files (*.*)\0*.*\0";
  EXPECT_EQ(ParseNulFilter(std::string_view(nul, sizeof nul)),
            (FileFilter{{"bin files (*.bin)", "*.bin"}, {"All Files (*.*)", "*.*"}}));
  // Without its final terminators the filter is read up to its last whole pair.
  EXPECT_EQ(ParseNulFilter(std::string_view("a\0*.a\0b\0*.b", 11)).size(), 1u);
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
