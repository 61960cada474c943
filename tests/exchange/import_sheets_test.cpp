// The import's reading of the configuration and "File_Path" sheets: cell
// texts, number rules, range checks, texts, files, and every failure.
#include <gtest/gtest.h>

#include "exchange_test_support.h"
#include "platform/errors.h"
#include "workbook/import_workbook.h"

namespace nuv::workbook {
namespace {

using testing::Block;
using testing::Bytes;
using testing::Item;
using testing::MakeRecord;
using testing::N;
using testing::Sheet;
using testing::T;

class ConfigSheet : public testing::ExchangeTest {
 protected:
  // One block "keys" (id 0x22) over `data`, with the given items.
  void Use(std::vector<std::uint8_t> data, std::vector<toolcfg::ConfigItem> items,
           std::int32_t start = 0) {
    table_.records.push_back(MakeRecord(0x22, "keys", std::move(data)));
    model_.sheet2.blocks.push_back(Block("keys", 0x22, start, 0, std::move(items)));
  }
  int Apply(const ValueArray& values) {
    WorkbookExchange exchange = Exchange();
    return ApplyConfigSheet(exchange, text_, values, values.rows(), model_.sheet2.blocks);
  }
  std::vector<std::uint8_t> Data(std::size_t k = 0) const {
    auto bytes = table_.records.at(k).data.bytes();
    return {bytes.begin(), bytes.end()};
  }
  toolcfg::ConfigItem& ItemAt(std::size_t i) { return model_.sheet2.blocks.at(0).items.at(i); }

  CellText text_;
};

TEST_F(ConfigSheet, ValuesAreWrittenAsBitFieldsAtTheBlocksOffset) {
  Use(Bytes({0x99, 0xF5, 0xA0, 0x00, 0xF0, 0x5F}),
      {Item("Nibble", 0, 4, 8), Item("Shared", 0, 28, 8)}, 1);
  ASSERT_EQ(
      Apply(Sheet(
          {{T("Key"), T("Code")}, {T("*keys")}, {T("Nibble"), N(0x3C)}, {T("Shared"), N(0xAB)}})),
      kImportOk);
  EXPECT_EQ(Data(), Bytes({0x99, 0xC5, 0xA3, 0x00, 0xB0, 0x5A}));
  EXPECT_EQ(ItemAt(0).number_value, 0x3Cu);
  EXPECT_TRUE(messages_.shown().empty());
}

TEST_F(ConfigSheet, NumbersAreTruncatedTowardZeroAndKeptAsSixtyFourBitPatterns) {
  Use(Bytes({0x00, 0x00, 0x77, 0x00}), {Item("Word", 0, 0, 16), Item("Byte", 0, 24, 8)});
  ASSERT_EQ(Apply(Sheet({{T("*keys")}, {T("Word"), N(-1)}, {T("Byte"), N(12.9)}})), kImportOk);
  EXPECT_EQ(Data(), Bytes({0xFF, 0xFF, 0x77, 0x0C}));
  EXPECT_EQ(ItemAt(0).number_value, 0xFFFFFFFFFFFFFFFFu);
  EXPECT_EQ(ItemAt(1).number_value, 12u);
  ASSERT_EQ(Apply(Sheet({{T("*keys")}, {T("Byte"), N(-12.9)}})), kImportOk);
  EXPECT_EQ(ItemAt(1).number_value, static_cast<std::uint64_t>(-12));
  EXPECT_EQ(Data()[3], 0xF4);
}

TEST_F(ConfigSheet, RangeItemsOutsideTheirBoundsStopTheSheet) {
  Use(Bytes({0x05, 0x06}), {Item("Volume", 2, 0, 8, 0, 255), Item("Other", 0, 8, 8)});
  EXPECT_EQ(
      Apply(Sheet({{T("*keys")}, {T("Other"), N(9)}, {T("Volume"), N(300)}, {T("Other"), N(10)}})),
      kValueOutOfRange);
  EXPECT_EQ(
      messages_.shown(),
      (std::vector<std::pair<BoxCaption, std::string>>{
          {BoxCaption::Application, "ERROR!! [Volume]'s value is out of range,please check it!"}}));
  // Rows before the failing one stay applied; the number read stays too.
  EXPECT_EQ(Data(), Bytes({0x05, 0x09}));
  EXPECT_EQ(ItemAt(0).number_value, 300u);

  // -1 is the largest unsigned number: out of range too, and so is a
  // number that no 64 bits hold.
  EXPECT_EQ(Apply(Sheet({{T("*keys")}, {T("Volume"), N(-1)}})), kValueOutOfRange);
  EXPECT_EQ(Apply(Sheet({{T("*keys")}, {T("Other"), N(1e20)}})), kValueOutOfRange);
  EXPECT_EQ(messages_.texts().back(), "ERROR!! [Other]'s value is out of range,please check it!");
  ASSERT_EQ(Apply(Sheet({{T("*keys")}, {T("Volume"), N(255)}})), kImportOk);
  EXPECT_EQ(Data(), Bytes({0xFF, 0x09}));
}

TEST_F(ConfigSheet, BoundsAreUnsignedThirtyTwoBitNumbers) {
  // min -5 is 4294967291: 7 lies below it.
  Use(Bytes({0x00}), {Item("Neg", 2, 0, 8, -5, -1)});
  EXPECT_EQ(Apply(Sheet({{T("*keys")}, {T("Neg"), N(7)}})), kValueOutOfRange);
  EXPECT_EQ(Apply(Sheet({{T("*keys")}, {T("Neg"), N(4294967292.0)}})), kImportOk);
  EXPECT_EQ(Data(), Bytes({0xFC}));
}

TEST_F(ConfigSheet, NumberItemsKeepTheirValueForTextOrEmptyCells) {
  // The value is written again all the same: a field inside one byte
  // clears the bits above it.
  Use(Bytes({0xF3}), {Item("Low", 0, 0, 4)});
  ItemAt(0).number_value = 3;
  ASSERT_EQ(Apply(Sheet({{T("*keys")}, {T("Low"), T("0x10")}})), kImportOk);
  EXPECT_EQ(ItemAt(0).number_value, 3u);
  EXPECT_EQ(Data(), Bytes({0x03}));
  table_.records[0].data.mutable_bytes()[0] = 0xF3;
  ASSERT_EQ(Apply(Sheet({{T("*keys")}, {T("Low"), {}}})), kImportOk);
  EXPECT_EQ(Data(), Bytes({0x03}));
}

TEST_F(ConfigSheet, TextItemsAreCopiedWithTheirTerminator) {
  Use(Bytes({1, 2, 3, 4, 5, 6, 7, 8}), {Item("Name", 1, 16, 0)});
  ASSERT_EQ(Apply(Sheet({{T("*keys")}, {T("Name"), T("AB")}})), kImportOk);
  EXPECT_EQ(Data(), Bytes({1, 2, 0x41, 0x42, 0x00, 6, 7, 8}));
  // An empty cell writes a single zero byte.
  ASSERT_EQ(Apply(Sheet({{T("*keys")}, {T("Name"), {}}})), kImportOk);
  EXPECT_EQ(Data(), Bytes({1, 2, 0x00, 0x42, 0x00, 6, 7, 8}));
  EXPECT_TRUE(messages_.shown().empty());
}

TEST_F(ConfigSheet, TextsAreCutToTheRoomTheyHave) {
  // Width 4 bytes (32 bits): three characters and the terminator.
  Use(Bytes({9, 9, 9, 9, 9, 9, 9, 9}), {Item("Short", 1, 8, 32), Item("Tail", 1, 40, 0)});
  ASSERT_EQ(Apply(Sheet({{T("*keys")}, {T("Short"), T("ABCDEF")}})), kImportOk);
  EXPECT_EQ(Data(), Bytes({9, 'A', 'B', 'C', 0, 9, 9, 9}));
  ASSERT_EQ(messages_.shown().size(), 1u);
  EXPECT_EQ(messages_.texts()[0],
            "The text for [Short] takes 7 bytes, more than the 4 that its width leaves it; only "
            "its first 3 bytes were written.");
  // Without a width, the block's end bounds it.
  ASSERT_EQ(Apply(Sheet({{T("*keys")}, {T("Tail"), T("WXYZ")}})), kImportOk);
  EXPECT_EQ(Data(), Bytes({9, 'A', 'B', 'C', 0, 'W', 'X', 0}));
  EXPECT_NE(messages_.texts().back().find("the end of block [keys]"), std::string::npos);
  // A character of several bytes is not split.
  ASSERT_EQ(Apply(Sheet({{T("*keys")}, {T("Short"), T("AΩ€")}})), kImportOk);
  EXPECT_EQ(Data(), Bytes({9, 'A', 0xCE, 0xA9, 0, 'W', 'X', 0}));
}

TEST_F(ConfigSheet, TextsNeverExceedTheCellBuffer) {
  Use(std::vector<std::uint8_t>(400, 0xEE), {Item("Long", 1, 0, 0)});
  ASSERT_EQ(Apply(Sheet({{T("*keys")}, {T("Long"), T(std::string(300, 'q'))}})), kImportOk);
  const std::vector<std::uint8_t> data = Data();
  EXPECT_EQ(std::count(data.begin(), data.end(), 'q'), 255);
  EXPECT_EQ(data[255], 0);
  EXPECT_EQ(data[256], 0xEE);
  EXPECT_NE(messages_.texts().back().find("the cell text buffer"), std::string::npos);
}

TEST_F(ConfigSheet, ATextItemWithANumberStoresTheNumbersText) {
  Use(Bytes({7, 7, 7, 7, 7}), {Item("Pin", 1, 0, 0)});
  ASSERT_EQ(Apply(Sheet({{T("*keys")}, {T("Pin"), N(12.9)}})), kImportOk);
  EXPECT_EQ(Data(), Bytes({'1', '2', 0, 7, 7}));
  EXPECT_EQ(messages_.texts(),
            std::vector<std::string>{"[Pin] is a text item and its value cell holds a number; the "
                                     "number's decimal text \"12\" was written."});
}

TEST_F(ConfigSheet, ATextItemWithABooleanOrErrorIsLeftAsItWas) {
  Use(Bytes({7, 7, 7}), {Item("Pin", 1, 0, 0)});
  ASSERT_EQ(Apply(Sheet({{T("*keys")},
                         {T("Pin"), Variant::Bool(true)},
                         {T("Pin"), Variant::CellError(kErrorNA)}})),
            kImportOk);
  EXPECT_EQ(Data(), Bytes({7, 7, 7}));
  ASSERT_EQ(messages_.shown().size(), 2u);
  EXPECT_NE(messages_.texts()[0].find("[Pin] is a text item and its value cell holds neither"),
            std::string::npos);
}

TEST_F(ConfigSheet, ABooleanInColumnAReadsAsTheCellReadBefore) {
  Use(Bytes({0, 0}), {Item("Power", 0, 0, 8), Item("Other", 0, 8, 8)});
  ASSERT_EQ(Apply(Sheet({{T("*keys")},
                         {T("Power"), N(5)},
                         {Variant::Bool(false), T("text")},
                         {Variant::CellError(kErrorDiv0), N(9)}})),
            kImportOk);
  // The boolean row read "Power" again, and its text left the value; the
  // error row, reading the text left by column B ("text"), matched nothing.
  EXPECT_EQ(Data(), Bytes({5, 0}));

  // A number in column A reads as its decimal text, an empty cell as NULL.
  model_.sheet2.blocks[0].items.push_back(Item("12", 0, 8, 8));
  model_.sheet2.blocks[0].items.push_back(Item("NULL", 0, 0, 8));
  ASSERT_EQ(Apply(Sheet({{T("*keys")}, {N(12.5), N(0x12)}, {{}, N(0x34)}})), kImportOk);
  EXPECT_EQ(Data(), Bytes({0x34, 0x12}));
}

TEST_F(ConfigSheet, RowsOutsideKnownBlocksAndItemsHaveNoEffect) {
  Use(Bytes({0, 0}), {Item("Power", 0, 0, 8)});
  ASSERT_EQ(Apply(Sheet({{T("Power"), N(1)},  // before any "*" row: the title row too
                         {T("*nope"), {}},    // no such block of the sheet
                         {T("Power"), N(2)},  // so this row is skipped
                         {T("*keys"), {}},
                         {T("Unknown"), N(3)},  // no such item
                         {T("*KEYS")},          // names compare case-sensitively
                         {T("Power"), N(4)}})),
            kImportOk);
  EXPECT_EQ(Data(), Bytes({0, 0}));
  // A later row for the same item overwrites an earlier one, and rows of a
  // block may come again after another block.
  ASSERT_EQ(
      Apply(Sheet(
          {{T("*keys")}, {T("Power"), N(6)}, {T("*nope")}, {T("*keys")}, {T("Power"), N(7)}})),
      kImportOk);
  EXPECT_EQ(Data(), Bytes({7, 0}));
  EXPECT_TRUE(messages_.shown().empty());
}

TEST_F(ConfigSheet, ABlockTheImageLacksFailsAtItsFirstItemRow) {
  table_.records.push_back(MakeRecord(0x22, "keys", Bytes({0})));
  model_.sheet2.blocks.push_back(Block("keys", 0x23, 0, 0, {Item("Power", 0, 0, 8)}));
  // A block row alone looks nothing up.
  EXPECT_EQ(Apply(Sheet({{T("*keys")}})), kImportOk);
  EXPECT_TRUE(messages_.shown().empty());
  // Every item row does, even one naming no item.
  EXPECT_EQ(Apply(Sheet({{T("*keys")}, {T("Nothing")}})), kBlockProblem);
  EXPECT_EQ(messages_.texts(),
            std::vector<std::string>{"ERROR!! can not find block [keys] id[0x23]in dmh!"});
}

TEST_F(ConfigSheet, ItemsOutsideTheirBlockAreRefused) {
  Use(Bytes({1, 2}), {Item("Far", 0, 12, 8), Item("Text", 1, 16, 0), Item("Before", 0, 0, 8)});
  EXPECT_EQ(Apply(Sheet({{T("*keys")}, {T("Far"), N(0xFF)}})), kBlockProblem);
  EXPECT_EQ(messages_.texts().back(),
            "[Far] lies outside the 2 bytes of block [keys], so the workbook cannot be applied to "
            "it.");
  EXPECT_EQ(Apply(Sheet({{T("*keys")}, {T("Text"), T("x")}})), kBlockProblem);
  model_.sheet2.blocks[0].start_offset = -1;
  EXPECT_EQ(Apply(Sheet({{T("*keys")}, {T("Before"), N(1)}})), kBlockProblem);
  EXPECT_EQ(Data(), Bytes({1, 2}));
}

TEST_F(ConfigSheet, ColumnBOfASheetOneColumnWideIsAnAutomationError) {
  Use(Bytes({0}), {Item("Power", 0, 0, 8)});
  EXPECT_THROW(Apply(Sheet({{T("*keys")}, {T("Power")}})), AutomationError);
}

class FilePathSheet : public testing::ExchangeTest {
 protected:
  void SetUp() override {
    ExchangeTest::SetUp();
    table_.records.push_back(MakeRecord(0x24, "logo", Bytes({1, 2, 3})));
    table_.records.push_back(MakeRecord(0x25, "hwinfo", std::vector<std::uint8_t>(512, 0xEE)));
    model_.sheet4.blocks = {Block("logo", 0x24, 0, 3, {}), Block("hwinfo", 0x25, 0, 2, {}),
                            Block("plain", 0x24, 0, 1, {})};
    testing::WriteFile(Path("ten.bin"), "0123456789");
    testing::WriteFile(Path("hw.txt"),
                       "panel starts\n0x01, 0x02, 0x1F,\n0x00,##\n"
                       "led starts\n{'0', 0x3F}, {'1', 0x06},\n{'A', 0x77},##\n");
  }
  int Apply(const ValueArray& values) {
    WorkbookExchange exchange = Exchange();
    return ApplyFilePathSheet(exchange, text_, values, values.rows());
  }
  std::vector<std::uint8_t> Data(std::size_t k) const {
    auto bytes = table_.records.at(k).data.bytes();
    return {bytes.begin(), bytes.end()};
  }
  CellText text_;
};

TEST_F(FilePathSheet, BinaryFileReplacesTheBlockAndItsSize) {
  ASSERT_EQ(Apply(Sheet({{T("Block"), T("File")}, {T("*logo"), T(Path("ten.bin").string())}})),
            kImportOk);
  EXPECT_EQ(Data(0), Bytes({'0', '1', '2', '3', '4', '5', '6', '7', '8', '9'}));
  EXPECT_EQ(table_.records[0].entry.size(), 10u);
  EXPECT_TRUE(messages_.shown().empty());
}

TEST_F(FilePathSheet, PathsAreMappedAndTheLastOneWins) {
  testing::WriteFile(Path("two.bin"), "ab");
  ASSERT_EQ(Apply(Sheet({{T("*logo"), T(".\\ten.bin")},
                         {T("item row"), T(std::filesystem::current_path().string() + "\\two.bin")},
                         {T("other"), N(5)}})),
            kImportOk);
  EXPECT_EQ(Data(0), Bytes({'a', 'b'}));
  EXPECT_EQ(table_.records[0].entry.size(), 2u);
}

TEST_F(FilePathSheet, AFileThatCannotBeOpenedLeavesTheBlockSilently) {
  std::filesystem::create_directories(Path("folder.bin"));
  ASSERT_EQ(Apply(Sheet({{T("*logo"), T(Path("missing.bin").string())},
                         {T("*logo"), T(Path("folder.bin").string())},
                         {T("*logo"), T("")}})),
            kImportOk);
  EXPECT_EQ(Data(0), Bytes({1, 2, 3}));
  EXPECT_EQ(table_.records[0].entry.size(), 3u);
  EXPECT_TRUE(messages_.shown().empty());
}

TEST_F(FilePathSheet, OtherBlocksAndCellsAreIgnored) {
  // em 1 is no file block; numbers are no paths; rows before a "*" row
  // belong to no block.
  ASSERT_EQ(Apply(Sheet({{T("x"), T(Path("ten.bin").string())},
                         {T("*plain"), T(Path("ten.bin").string())},
                         {T("*logo"), N(3)},
                         {T("*unknown"), T(Path("ten.bin").string())}})),
            kImportOk);
  EXPECT_EQ(Data(0), Bytes({1, 2, 3}));
}

TEST_F(FilePathSheet, HardwareInfoFileFillsTheBlockWhichKeepsItsSize) {
  ASSERT_EQ(Apply(Sheet({{T("*hwinfo"), T(Path("hw.txt").string())}})), kImportOk);
  const std::vector<std::uint8_t> data = Data(1);
  ASSERT_EQ(data.size(), 512u);
  EXPECT_EQ(table_.records[1].entry.size(), 512u);
  EXPECT_EQ(std::vector<std::uint8_t>(data.begin(), data.begin() + 6),
            Bytes({4, 0, 0x01, 0x02, 0x1F, 0x00}));
  EXPECT_EQ(std::vector<std::uint8_t>(data.begin() + 40, data.begin() + 48),
            Bytes({3, 0, '0', 0x3F, '1', 0x06, 'A', 0x77}));
  EXPECT_TRUE(std::all_of(data.begin() + 48, data.end(), [](std::uint8_t b) { return b == 0; }));
  EXPECT_EQ(messages_.texts(), std::vector<std::string>{"Block [hwinfo] holds 512 bytes: the "
                                                        "240 bytes made from " +
                                                        Path("hw.txt").string() +
                                                        " fill its start and the other 272 "
                                                        "bytes are zero."});
}

TEST_F(FilePathSheet, SmallHardwareInfoBlocksTakeTheStartOfTheContent) {
  table_.records[1] = MakeRecord(0x25, "hwinfo", std::vector<std::uint8_t>(4, 0xEE));
  ASSERT_EQ(Apply(Sheet({{T("*hwinfo"), T(Path("hw.txt").string())}})), kImportOk);
  EXPECT_EQ(Data(1), Bytes({4, 0, 0x01, 0x02}));
  EXPECT_TRUE(messages_.shown().empty());
}

TEST_F(FilePathSheet, HardwareInfoBlocksBeyondTheBufferAreRefused) {
  table_.records[1] = MakeRecord(0x25, "hwinfo", std::vector<std::uint8_t>(5121, 0xEE));
  EXPECT_EQ(Apply(Sheet({{T("*hwinfo"), T(Path("hw.txt").string())}})), kBlockProblem);
  EXPECT_EQ(messages_.texts(),
            std::vector<std::string>{"The hardware info block [hwinfo] holds 5121 bytes, more "
                                     "than the 5120 bytes its new content can have; it was not "
                                     "replaced."});
  EXPECT_EQ(Data(1).size(), 5121u);
  EXPECT_EQ(Data(1)[0], 0xEE);
  // 5120 bytes are fine.
  table_.records[1] = MakeRecord(0x25, "hwinfo", std::vector<std::uint8_t>(5120, 0xEE));
  EXPECT_EQ(Apply(Sheet({{T("*hwinfo"), T(Path("hw.txt").string())}})), kImportOk);
}

TEST_F(FilePathSheet, AHardwareInfoFileThatDoesNotParseFailsTheSheet) {
  std::string panel = "panel starts\n";
  for (int i = 0; i < 39; ++i)
    panel += "0x01,";
  testing::WriteFile(Path("bad.txt"), panel + "##\n");
  EXPECT_EQ(Apply(Sheet({{T("*logo"), T(Path("ten.bin").string())},
                         {T("*hwinfo"), T(Path("bad.txt").string())}})),
            kBlockProblem);
  EXPECT_EQ(messages_.shown(), (std::vector<std::pair<BoxCaption, std::string>>{
                                   {BoxCaption::Application, "error while parsing panel hw info"},
                                   {BoxCaption::Application, "Parse hw info file failed"}}));
  EXPECT_EQ(Data(1)[0], 0xEE);
  // The row before stays applied.
  EXPECT_EQ(Data(0).size(), 10u);
}

TEST_F(FilePathSheet, AHardwareInfoFileThatCannotBeOpenedLeavesTheBlockAndSaysSo) {
  ASSERT_EQ(Apply(Sheet({{T("*hwinfo"), T(Path("missing.txt").string())}})), kImportOk);
  EXPECT_EQ(Data(1)[0], 0xEE);
  EXPECT_EQ(messages_.texts(),
            std::vector<std::string>{"The hardware info file " + Path("missing.txt").string() +
                                     " cannot be opened; block [hwinfo] was "
                                     "left as it was."});
}

TEST_F(FilePathSheet, ABlockTheImageLacksFails) {
  table_.records.erase(table_.records.begin());
  // A "*" row with nothing in B still looks its block up.
  EXPECT_EQ(Apply(Sheet({{T("*logo"), {}}})), kBlockProblem);
  EXPECT_EQ(messages_.texts(),
            std::vector<std::string>{"ERROR!! can not find block [logo] id[0x24]in dmh!"});
}

}  // namespace
}  // namespace nuv::workbook
