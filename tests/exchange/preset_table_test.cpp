// The preset table format: what the import packs from the "Program" sheet
// and what the export reads back onto it.
#include "workbook/preset_table.h"

#include <gtest/gtest.h>

#include "exchange_test_support.h"
#include "sample_preset.h"
#include "workbook/exchange_numbers.h"

namespace nuv::workbook {
namespace {

using testing::Bytes;
using testing::N;
using testing::Sheet;
using testing::T;

std::vector<std::uint8_t> Build(const ValueArray& values, RecordedMessages& messages) {
  auto table = BuildPresetTable(values, values.rows(), values.columns(), messages);
  EXPECT_TRUE(table.has_value()) << (messages.texts().empty() ? "" : messages.texts().back());
  return table.value_or(std::vector<std::uint8_t>{});
}

TEST(PresetTable, ThreeByThreeSheetGivesTheDocumentedBytes) {
  RecordedMessages messages;
  const ValueArray values = Sheet({{T("ab"), {}, N(7.9)}, {}, {{}, T("*k"), {}}});
  const std::vector<std::uint8_t> table = Build(values, messages);
  EXPECT_EQ(table, Bytes({0x70, 0x72, 0x65, 0x73, 0x65, 0x74, 0x64,
                          0x61, 0x74, 0x61, 0x00, 0x03, 0x00, 0x03,     // header
                          0x80, 0x61, 0x00, 0x62, 0x00, 0x00, 0x00,     // A1 "ab"
                          0x02, 0x37, 0x00, 0x00, 0x00,                 // C1 "7"
                          0x81, 0x2A, 0x00, 0x6B, 0x00, 0x00, 0x00}));  // B3 "*k"
  EXPECT_TRUE(messages.shown().empty());

  // Read back, the third row's cells land in the second row: rows are
  // counted by their first cells.
  const PresetTable read = ReadPresetTable(table);
  EXPECT_EQ(read.columns, 3);
  ASSERT_EQ(read.cells.size(), 3u);
  EXPECT_EQ(read.cells[0].row, 1u);
  EXPECT_EQ(read.cells[0].column, 1u);
  EXPECT_EQ(read.cells[0].text, u"ab");
  EXPECT_EQ(read.cells[1].row, 1u);
  EXPECT_EQ(read.cells[1].column, 2u);  // after A, whatever the marker says
  EXPECT_EQ(read.cells[1].text, u"7");
  EXPECT_EQ(read.cells[2].row, 2u);
  EXPECT_EQ(read.cells[2].column, 2u);
  EXPECT_EQ(read.cells[2].text, u"*k");
  EXPECT_FALSE(read.unterminated);
}

TEST(PresetTable, NumbersAreStoredAsTheTextOfTheirTruncatedValue) {
  RecordedMessages messages;
  const std::vector<std::uint8_t> table =
      Build(Sheet({{N(-5.5), N(12), N(-0.25), N(1e20)}}), messages);
  const PresetTable read = ReadPresetTable(table);
  ASSERT_EQ(read.cells.size(), 4u);
  EXPECT_EQ(read.cells[0].text, u"-5");
  EXPECT_EQ(read.cells[1].text, u"12");
  EXPECT_EQ(read.cells[2].text, u"0");
  EXPECT_EQ(read.cells[3].text, u"100000000000000000000");
}

TEST(PresetTable, OnlyNumbersAndTextsLeaveBytes) {
  RecordedMessages messages;
  const ValueArray values = Sheet(
      {{Variant::Bool(true), Variant::CellError(kErrorNA), {}, T("x")}, {Variant::Bool(false)}});
  const std::vector<std::uint8_t> table = Build(values, messages);
  // The row starts at D: marker 0x83; the boolean-only row leaves nothing.
  EXPECT_EQ(table, Bytes({'p', 'r', 'e', 's', 'e', 't', 'd', 'a', 't', 'a', 0, 2, 0, 4, 0x83, 'x',
                          0, 0, 0}));
}

TEST(PresetTable, RowStartingWithEmptyCellFlagsItsFirstStoredCell) {
  RecordedMessages messages;
  const std::vector<std::uint8_t> table = Build(Sheet({{{}, T("b")}, {T("c"), T("d")}}), messages);
  ASSERT_GE(table.size(), 15u);
  EXPECT_EQ(table[14], 0x81);
  const PresetTable read = ReadPresetTable(table);
  ASSERT_EQ(read.cells.size(), 3u);
  EXPECT_EQ(read.cells[0].column, 2u);
  EXPECT_EQ(read.cells[2].row, 2u);
  EXPECT_EQ(read.cells[2].column, 2u);
}

TEST(PresetTable, UnicodeTextsGoThroughUnchanged) {
  RecordedMessages messages;
  const std::u16string cyrillic = u"Канал 1";
  const std::u16string cjk = u"日本のチャンネル";
  const std::u16string astral = u"TV \U0001F4FA";  // a surrogate pair
  ValueArray values(1, 3);
  values.At(1, 1) = Variant::Text(cyrillic);
  values.At(1, 2) = Variant::Text(cjk);
  values.At(1, 3) = Variant::Text(astral);
  const std::vector<std::uint8_t> table = Build(values, messages);
  // UTF-16LE: "К" is U+041A.
  EXPECT_EQ(table[15], 0x1A);
  EXPECT_EQ(table[16], 0x04);
  const PresetTable read = ReadPresetTable(table);
  ASSERT_EQ(read.cells.size(), 3u);
  EXPECT_EQ(read.cells[0].text, cyrillic);
  EXPECT_EQ(read.cells[1].text, cjk);
  EXPECT_EQ(read.cells[2].text, astral);
}

TEST(PresetTable, SheetsTheFormatCannotHoldAreRefusedWithAMessage) {
  RecordedMessages messages;
  ValueArray wide(1, 130);
  wide.At(1, 129) = T("too far");
  EXPECT_FALSE(BuildPresetTable(wide, 1, 130, messages));
  ASSERT_EQ(messages.shown().size(), 1u);
  EXPECT_EQ(messages.shown()[0].first, BoxCaption::Application);
  EXPECT_NE(messages.texts()[0].find("DY1"), std::string::npos) << messages.texts()[0];
  EXPECT_NE(messages.texts()[0].find("\"preset\" block was left as it was"), std::string::npos);

  // 128 columns fit, and empty columns beyond do not matter.
  ValueArray edge(1, 200);
  edge.At(1, 128) = T("last");
  messages.clear();
  auto table = BuildPresetTable(edge, 1, 200, messages);
  ASSERT_TRUE(table);
  EXPECT_EQ((*table)[14], 0x80 | 127);
  EXPECT_EQ((*table)[13], 200);

  ValueArray long_text(1, 1);
  long_text.At(1, 1) = Variant::Text(std::u16string(kMaxPresetText + 1, u'x'));
  EXPECT_FALSE(BuildPresetTable(long_text, 1, 1, messages));
  EXPECT_NE(messages.texts().back().find("32767 characters"), std::string::npos);
  long_text.At(1, 1) = Variant::Text(std::u16string(kMaxPresetText, u'x'));
  EXPECT_TRUE(BuildPresetTable(long_text, 1, 1, messages));

  ValueArray tall(2, 1);
  EXPECT_FALSE(BuildPresetTable(tall, 65536, 1, messages));
  EXPECT_NE(messages.texts().back().find("65536 rows"), std::string::npos);
}

TEST(PresetTable, TablesOverTwoMebibytesAreRefused) {
  RecordedMessages messages;
  // 33 cells of 32766 characters: 65,535 bytes each, 2,162,655 in all.
  ValueArray values(33, 1);
  for (std::uint32_t r = 1; r <= 33; ++r)
    values.At(r, 1) = Variant::Text(std::u16string(kMaxPresetText, u'a'));
  EXPECT_FALSE(BuildPresetTable(values, 33, 1, messages));
  EXPECT_NE(messages.texts().back().find("larger than 2 MiB"), std::string::npos);
  // 32 such cells (2,097,134 bytes) still fit.
  messages.clear();
  auto table = BuildPresetTable(values, 32, 1, messages);
  ASSERT_TRUE(table);
  EXPECT_EQ(table->size(), 14u + 32u * 65535u);
  EXPECT_TRUE(messages.shown().empty());
}

TEST(PresetTable, ReaderTakesColumnsFromFlaggedMarkersOnly) {
  std::vector<std::uint8_t> table = samples::PresetTableBytes(0, 9, {});
  // 0x83: a new row at column D; 0x05: the next column, E, not F.
  for (std::uint8_t marker : {0x83, 0x05, 0x85}) {
    table.push_back(marker);
    table.insert(table.end(), {'z', 0, 0, 0});
  }
  const PresetTable read = ReadPresetTable(table);
  EXPECT_EQ(read.columns, 9);
  ASSERT_EQ(read.cells.size(), 3u);
  EXPECT_EQ(read.cells[0].row, 1u);
  EXPECT_EQ(read.cells[0].column, 4u);
  EXPECT_EQ(read.cells[1].row, 1u);
  EXPECT_EQ(read.cells[1].column, 5u);
  EXPECT_EQ(read.cells[2].row, 2u);
  EXPECT_EQ(read.cells[2].column, 6u);
}

TEST(PresetTable, ShortAndDamagedTablesAreReadSafely) {
  // 14 bytes or less: no cells (fewer than 14 do not even give a count).
  EXPECT_TRUE(ReadPresetTable(samples::PresetTableBytes(3, 3, {})).cells.empty());
  EXPECT_EQ(ReadPresetTable(samples::PresetTableBytes(3, 3, {})).columns, 3);
  EXPECT_EQ(ReadPresetTable(Bytes({'p', 'r', 'e', 0, 0})).columns, 0);
  EXPECT_TRUE(ReadPresetTable({}).cells.empty());

  // A first cell without the row flag begins row 1 at column 1.
  std::vector<std::uint8_t> table = samples::PresetTableBytes(1, 1, {});
  table.insert(table.end(), {0x05, 'q', 0, 0, 0});
  PresetTable read = ReadPresetTable(table);
  ASSERT_EQ(read.cells.size(), 1u);
  EXPECT_EQ(read.cells[0].row, 1u);
  EXPECT_EQ(read.cells[0].column, 1u);

  // A text that runs to the end is kept as far as it goes (an odd last
  // byte is no character).
  table.insert(table.end(), {0x80, 'r', 0, 's', 0, 't'});
  read = ReadPresetTable(table);
  ASSERT_EQ(read.cells.size(), 2u);
  EXPECT_EQ(read.cells[1].text, u"rs");
  EXPECT_TRUE(read.unterminated);

  // A marker as the very last byte gives an empty cell.
  table = samples::PresetTableBytes(1, 1, {});
  table.push_back(0x80);
  read = ReadPresetTable(table);
  ASSERT_EQ(read.cells.size(), 1u);
  EXPECT_TRUE(read.cells[0].text.empty());
  EXPECT_TRUE(read.unterminated);
}

TEST(PresetTable, TextsLongerThanACellAreCutWhenRead) {
  std::vector<std::uint8_t> table = samples::PresetTableBytes(1, 1, {});
  table.push_back(0x80);
  for (std::size_t i = 0; i < kMaxPresetText + 10; ++i)
    table.insert(table.end(), {'w', 0});
  table.insert(table.end(), {0, 0, 0x81, 'n', 0, 0, 0});
  const PresetTable read = ReadPresetTable(table);
  ASSERT_EQ(read.cells.size(), 2u);
  EXPECT_EQ(read.cells[0].text.size(), kMaxPresetText);
  EXPECT_EQ(read.texts_cut, 1u);
  // The reader goes on after the real end of the text.
  EXPECT_EQ(read.cells[1].text, u"n");
  EXPECT_EQ(read.cells[1].row, 2u);
}

TEST(PresetTable, SampleTableReadsBackAsItsCells) {
  const std::vector<samples::PresetSampleCell> cells = samples::SamplePresetCells();
  const PresetTable read = ReadPresetTable(
      samples::PresetTableBytes(samples::kSamplePresetRows, samples::kSamplePresetColumns, cells));
  ASSERT_EQ(read.cells.size(), cells.size());
  // Row 4 is empty, so rows 5 and 6 are read as rows 4 and 5.
  for (std::size_t i = 0; i < cells.size(); ++i) {
    EXPECT_EQ(read.cells[i].row, cells[i].row < 4 ? cells[i].row : cells[i].row - 1) << i;
    EXPECT_EQ(read.cells[i].text, cells[i].text) << i;
  }
}

TEST(ExchangeNumbers, TruncationTowardZeroAndSixtyFourBitPatterns) {
  EXPECT_EQ(TruncatedNumberText(12.9), "12");
  EXPECT_EQ(TruncatedNumberText(-12.9), "-12");
  EXPECT_EQ(TruncatedNumberText(-0.9), "0");
  EXPECT_EQ(TruncatedNumberText(-9223372036854775808.0), "-9223372036854775808");
  EXPECT_EQ(TruncatedNumberText(18446744073709551615.0), "18446744073709551616");

  EXPECT_EQ(TruncatedNumberPattern(12.9), 12u);
  EXPECT_EQ(TruncatedNumberPattern(-12.9), static_cast<std::uint64_t>(-12));
  EXPECT_EQ(TruncatedNumberPattern(-1), 0xFFFFFFFFFFFFFFFFu);
  EXPECT_EQ(TruncatedNumberPattern(-9223372036854775808.0), 0x8000000000000000u);
  // What the export writes for a value with the top bit set comes back.
  EXPECT_EQ(TruncatedNumberPattern(static_cast<double>(0xF00DFACE12345000u)), 0xF00DFACE12345000u);
  EXPECT_EQ(TruncatedNumberPattern(18446744073709549568.0), 0xFFFFFFFFFFFFF800u);
  EXPECT_FALSE(TruncatedNumberPattern(18446744073709551616.0));
  EXPECT_FALSE(TruncatedNumberPattern(-1e19));
  EXPECT_FALSE(TruncatedNumberPattern(std::numeric_limits<double>::quiet_NaN()));
}

}  // namespace
}  // namespace nuv::workbook
