// The preset table format: what the import packs from the "Program" sheet
// and what the export reads back onto it. (Texts beyond Latin are seen
// through the export's layout and the command-line test's edits.)
#include "exchange/preset_table.h"

#include <gtest/gtest.h>

#include "exchange/exchange_numbers.h"
#include "exchange_test_support.h"
#include "sample_preset.h"
#include "workbook/utf16.h"

namespace nuv::exchange {
namespace {

using namespace testing;  // the exchange helpers and the workbook layer

std::vector<std::uint8_t> Build(const ValueArray& values) {
  RecordedMessages messages;
  auto table = BuildPresetTable(values, values.rows(), values.columns(), messages);
  EXPECT_TRUE(table.has_value()) << (messages.texts().empty() ? "" : messages.texts().back());
  EXPECT_TRUE(messages.shown().empty());
  return table.value_or(std::vector<std::uint8_t>{});
}

// The cells read back, as "row,column:text" joined by blanks.
std::string Cells(const PresetTable& table) {
  std::string out;
  for (const PresetCell& cell : table.cells)
    out += (out.empty() ? "" : " ") + std::to_string(cell.row) + "," + std::to_string(cell.column) +
           ":" + Utf16ToUtf8(cell.text);
  return out;
}

std::vector<std::uint8_t> Empty(std::uint16_t columns, std::initializer_list<int> tail) {
  std::vector<std::uint8_t> table = samples::PresetTableBytes(1, columns, {});
  for (int b : tail)
    table.push_back(static_cast<std::uint8_t>(b));
  return table;
}

TEST(PresetTable, ASheetGivesTheDocumentedBytesWithNumbersAsTheirTruncatedText) {
  const std::vector<std::uint8_t> table =
      Build(Sheet({{T("ab"), {}, N(7.9)}, {}, {{}, T("*k"), {}}}));
  EXPECT_EQ(table, Bytes({0x70, 0x72, 0x65, 0x73, 0x65, 0x74, 0x64,
                          0x61, 0x74, 0x61, 0x00, 0x03, 0x00, 0x03,     // header
                          0x80, 0x61, 0x00, 0x62, 0x00, 0x00, 0x00,     // A1 "ab"
                          0x02, 0x37, 0x00, 0x00, 0x00,                 // C1 "7"
                          0x81, 0x2A, 0x00, 0x6B, 0x00, 0x00, 0x00}));  // B3 "*k"
  // Read back, "7" follows "ab" whatever its marker says, and the third
  // row lands in the second: rows are counted by their first cells.
  const PresetTable read = ReadPresetTable(table);
  EXPECT_EQ(read.columns, 3);
  EXPECT_EQ(Cells(read), "1,1:ab 1,2:7 2,2:*k");
  EXPECT_FALSE(read.unterminated);

  // Only numbers and texts leave bytes, numbers as their truncated text.
  // The row starts at D: marker 0x83; the boolean-only row leaves nothing.
  EXPECT_EQ(
      Build(Sheet({{Variant::Bool(true), Variant::CellError(kErrorNA), {}, T("x")},
                   {Variant::Bool(false)}})),
      Bytes({'p', 'r', 'e', 's', 'e', 't', 'd', 'a', 't', 'a', 0, 2, 0, 4, 0x83, 'x', 0, 0, 0}));
  EXPECT_EQ(Cells(ReadPresetTable(
                Build(Sheet({{N(-5.5), N(12), N(-0.25), N(1e20), N(-9223372036854775808.0),
                              N(18446744073709551615.0)}})))),
            "1,1:-5 1,2:12 1,3:0 1,4:100000000000000000000 1,5:-9223372036854775808 "
            "1,6:18446744073709551616");
}

TEST(PresetTable, SheetsTheFormatCannotHoldAreRefusedWithAMessage) {
  RecordedMessages messages;
  ValueArray wide(1, 130);
  wide.Set(1, 129, T("too far"));
  EXPECT_FALSE(BuildPresetTable(wide, 1, 130, messages));
  ASSERT_EQ(messages.shown().size(), 1u);
  EXPECT_EQ(messages.shown()[0].first, BoxCaption::Application);
  EXPECT_NE(messages.texts()[0].find("DY1"), std::string::npos) << messages.texts()[0];
  EXPECT_NE(messages.texts()[0].find("\"preset\" block was left as it was"), std::string::npos);

  // 128 columns fit, and empty columns beyond do not matter.
  ValueArray edge(1, 200);
  edge.Set(1, 128, T("last"));
  const std::vector<std::uint8_t> table = Build(edge);
  EXPECT_EQ(table.at(14), 0x80 | 127);
  EXPECT_EQ(table.at(13), 200);

  ValueArray long_text(1, 1);
  long_text.Set(1, 1, Variant::Text(std::u16string(kMaxPresetText + 1, u'x')));
  EXPECT_FALSE(BuildPresetTable(long_text, 1, 1, messages));
  EXPECT_NE(messages.texts().back().find("32767 characters"), std::string::npos);
  long_text.Set(1, 1, Variant::Text(std::u16string(kMaxPresetText, u'x')));
  EXPECT_TRUE(BuildPresetTable(long_text, 1, 1, messages));

  // (65536 rows are refused through the import.)

  // 33 cells of 32766 characters: 65,535 bytes each, 2,162,655 in all; 32
  // such cells (2,097,134 bytes) still fit.
  ValueArray big(33, 1);
  for (std::uint32_t r = 1; r <= 33; ++r)
    big.Set(r, 1, Variant::Text(std::u16string(kMaxPresetText, u'a')));
  EXPECT_FALSE(BuildPresetTable(big, 33, 1, messages));
  EXPECT_NE(messages.texts().back().find("larger than 2 MiB"), std::string::npos);
  messages.clear();
  auto fits = BuildPresetTable(big, 32, 1, messages);
  ASSERT_TRUE(fits);
  EXPECT_EQ(fits->size(), 14u + 32u * 65535u);
  EXPECT_TRUE(messages.shown().empty());
}

TEST(PresetTable, TheReaderTakesWhatItCanFromAnyTable) {
  // A text longer than a cell is cut, and the reader goes on after its
  // real end.
  std::vector<std::uint8_t> long_text = Empty(1, {0x80});
  for (std::size_t i = 0; i < kMaxPresetText + 10; ++i)
    long_text.insert(long_text.end(), {'w', 0});
  long_text.insert(long_text.end(), {0, 0, 0x81, 'n', 0, 0, 0});
  struct Case {
    const char* what;
    std::vector<std::uint8_t> table;
    std::string cells;
    bool unterminated;
    std::size_t texts_cut = 0;
  } cases[] = {
      // 0x83: a new row at column D; 0x05: the next column, E, not F.
      {"flagged markers only",
       Empty(9, {0x83, 'z', 0, 0, 0, 0x05, 'z', 0, 0, 0, 0x85, 'z', 0, 0, 0}), "1,4:z 1,5:z 2,6:z",
       false},
      {"a first cell without the flag", Empty(1, {0x05, 'q', 0, 0, 0}), "1,1:q", false},
      // An odd last byte is no character.
      {"a text to the end", Empty(1, {0x80, 'r', 0, 's', 0, 't'}), "1,1:rs", true},
      {"a marker as the last byte", Empty(1, {0x80}), "1,1:", true},
      {"the header alone", Empty(3, {}), "", false},
      {"a text longer than a cell", long_text, "1,1:" + std::string(kMaxPresetText, 'w') + " 2,2:n",
       false, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const PresetTable read = ReadPresetTable(c.table);
    EXPECT_EQ(Cells(read), c.cells);
    EXPECT_EQ(read.unterminated, c.unterminated);
    EXPECT_EQ(read.texts_cut, c.texts_cut);
  }
  EXPECT_EQ(ReadPresetTable(Empty(3, {})).columns, 3);
  // Fewer than 14 bytes do not even give a count.
  EXPECT_EQ(ReadPresetTable(Bytes({'p', 'r', 'e', 0, 0})).columns, 0);
  EXPECT_TRUE(ReadPresetTable({}).cells.empty());
}

TEST(PresetTable, ASheetShowsATableOnlyWithEveryTextInPlaceAndNoOtherValue) {
  // Read back, "b" follows "a" and the empty text starts row 2.
  const PresetTable table =
      ReadPresetTable(samples::PresetTableBytes(3, 3, {{1, 1, u"a"}, {1, 3, u"b"}, {3, 2, u""}}));
  const struct Case {
    const char* what;
    testing::Rows rows;
    bool shows;
  } cases[] = {
      {"as exported", {{T("a"), T("b")}, {{}, T("")}}, true},
      {"the empty text left empty", {{T("a"), T("b")}}, true},
      {"a text changed", {{T("a"), T("B")}}, false},
      {"a cell emptied", {{T("a")}}, false},
      {"a value put before a cell", {{T("a"), T("b")}, {T("c"), T("")}}, false},
      {"a value put after the last cell", {{T("a"), T("b"), T("c")}}, false},
  };
  for (const Case& c : cases) {
    const ValueArray values = Sheet(c.rows);
    EXPECT_EQ(SheetShowsPresetTable(values, values.rows(), values.columns(), table), c.shows)
        << c.what;
  }
  // A sheet too tall for a table is not read, and shows nothing.
  EXPECT_FALSE(SheetShowsPresetTable(ValueArray(), kMaxPresetRows + 1, 2,
                                     ReadPresetTable(samples::PresetTableBytes(0, 0, {}))));
  // Cells beyond column 256 are not on the sheet.
  std::vector<samples::PresetSampleCell> wide;
  ValueArray shown(1, 256);
  for (std::uint32_t column = 128; column <= 257; ++column) {
    wide.push_back({1, column, u"x"});
    if (column <= 256)
      shown.Set(1, column, T("x"));
  }
  EXPECT_TRUE(
      SheetShowsPresetTable(shown, 1, 256, ReadPresetTable(samples::PresetTableBytes(1, 1, wide))));
}

// (Small numbers, -1 and 1e20 are seen through the configuration sheets.)
TEST(ExchangeNumbers, ACellKeepsTheExactValueItWasWrittenForAndTakesOnlyExactNewOnes) {
  constexpr std::uint64_t kSerial = 0xF00DFACE12345678u, kTwo53 = std::uint64_t{1} << 53;
  struct Case {
    double number;
    std::uint64_t value;  // the item's value before
    std::optional<std::uint64_t> taken;
  } cases[] = {
      // The double the export wrote for a value a double rounds.
      {static_cast<double>(kSerial), kSerial, kSerial},
      {static_cast<double>(~std::uint64_t{0}), ~std::uint64_t{0}, ~std::uint64_t{0}},
      {static_cast<double>(kTwo53 + 1), kTwo53 + 1, kTwo53 + 1},
      // New values: exact up to 2^53 either way, refused beyond.
      {static_cast<double>(kTwo53), 0, kTwo53},
      {-static_cast<double>(kTwo53), 0,
       static_cast<std::uint64_t>(-static_cast<std::int64_t>(kTwo53))},
      {static_cast<double>(kTwo53 + 2), 0, std::nullopt},
      {static_cast<double>(kSerial), kSerial - 0x1000, std::nullopt},
      {-1e19, 0, std::nullopt},
      {std::numeric_limits<double>::quiet_NaN(), 0, std::nullopt},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ItemNumberFromCell(c.number, c.value), c.taken) << c.number;
}

}  // namespace
}  // namespace nuv::exchange
