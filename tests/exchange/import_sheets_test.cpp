// The import's reading of the configuration and "File_Path" sheets: cell
// texts, number rules, range checks, texts, files, and every failure.
#include <gtest/gtest.h>

#include "exchange/import_workbook.h"
#include "exchange_test_support.h"
#include "platform/errors.h"

namespace nuv::exchange {
namespace {

using namespace testing;  // the exchange helpers and the workbook layer
using enum SheetResult;

toolcfg::ConfigItem Valued(toolcfg::ConfigItem item, std::uint64_t value) {
  item.number_value = value;
  return item;
}
std::vector<std::uint8_t> Filled(std::size_t size, std::uint8_t byte, std::string_view start) {
  std::vector<std::uint8_t> out(size, byte);
  std::copy(start.begin(), start.end(), out.begin());
  return out;
}

class ConfigSheet : public testing::ExchangeTest {
 protected:
  // One block "keys" (id 0x22 in the model, its items starting at byte
  // `start`) over `data`: the sheet's rows give `result`, `after` and the
  // messages shown; `values` are the items' numbers afterwards, if given.
  void Check(const char* what, std::vector<std::uint8_t> data,
             std::vector<toolcfg::ConfigItem> items, const Rows& rows, SheetResult result,
             const std::vector<std::uint8_t>& after, const std::vector<std::string>& messages,
             const std::vector<std::uint64_t>& values = {}, std::int32_t start = 0,
             std::uint8_t model_id = 0x22) {
    SCOPED_TRACE(what);
    table_.records = {MakeRecord(0x22, "keys", std::move(data))};
    model_.sheet2.blocks = {Block("keys", model_id, start, 0, std::move(items))};
    messages_.clear();
    WorkbookExchange exchange = Exchange();
    CellText text(code_page_);
    const ValueArray sheet = Sheet(rows);
    EXPECT_EQ(ApplyConfigSheet(exchange, text, sheet, sheet.rows(), model_.sheet2.blocks), result);
    EXPECT_EQ(testing::BlockBytes(table_, 0), after);
    EXPECT_EQ(messages_.texts(), messages);
    for (const auto& [caption, shown] : messages_.shown())
      EXPECT_EQ(caption, BoxCaption::Application) << shown;
    for (std::size_t i = 0; i < values.size(); ++i)
      EXPECT_EQ(model_.sheet2.blocks[0].items[i].number_value, values[i]) << i;
  }
  platform::CodePage code_page_;
};

const std::string kOutOfRange = "]'s value is out of range,please check it!";
const std::string kNeither =
    "[Pin] is a text item and its value cell holds neither a text nor a number; the item was "
    "left as it was.";

TEST_F(ConfigSheet, EachRowRuleAndFailure) {
  Check("bit fields at the block's offset", Bytes({0x99, 0xF5, 0xA0, 0x00, 0xF0, 0x5F}),
        {Item("Nibble", 0, 4, 8), Item("Shared", 0, 28, 8)},
        {{T("Key"), T("Code")}, {T("*keys")}, {T("Nibble"), N(0x3C)}, {T("Shared"), N(0xAB)}},
        kApplied, Bytes({0x99, 0xC5, 0xA3, 0x00, 0xB0, 0x5A}), {}, {0x3C, 0xAB}, 1);
  Check("numbers truncated toward zero, kept as 64-bit patterns", Bytes({0x00, 0x00, 0x77, 0x00}),
        {Item("Word", 0, 0, 16), Item("Byte", 0, 24, 8)},
        {{T("*keys")}, {T("Word"), N(-1)}, {T("Byte"), N(12.9)}}, kApplied,
        Bytes({0xFF, 0xFF, 0x77, 0x0C}), {}, {0xFFFFFFFFFFFFFFFFu, 12});
  Check("a negative number", Bytes({0, 0, 0, 0}), {Item("Word", 0, 0, 16), Item("Byte", 0, 24, 8)},
        {{T("*keys")}, {T("Byte"), N(-12.9)}}, kApplied, Bytes({0, 0, 0, 0xF4}), {},
        {0, static_cast<std::uint64_t>(-12)});
  // Rows before the failing one stay applied; the number read stays too.
  Check("a range item above its bound", Bytes({0x05, 0x06}),
        {Item("Volume", 2, 0, 8, 0, 255), Item("Other", 0, 8, 8)},
        {{T("*keys")}, {T("Other"), N(9)}, {T("Volume"), N(300)}, {T("Other"), N(10)}},
        kValueOutOfRange, Bytes({0x05, 0x09}), {"ERROR!! [Volume" + kOutOfRange}, {300, 9});
  // -1 is the largest unsigned number.
  Check("-1 in a range item", Bytes({0x05, 0x06}), {Item("Volume", 2, 0, 8, 0, 255)},
        {{T("*keys")}, {T("Volume"), N(-1)}}, kValueOutOfRange, Bytes({0x05, 0x06}),
        {"ERROR!! [Volume" + kOutOfRange});
  // A cell holds a double: the one written for a 64-bit value gives that
  // value back exactly, and a new value must be one a double holds exactly.
  Check("the 64-bit value a cell was written for", Bytes({0, 0, 0, 0, 0, 0, 0, 0, 9}),
        {Valued(Item("Serial", 0, 0, 64), 0xF00DFACE12345678u)},
        {{T("*keys")}, {T("Serial"), N(static_cast<double>(0xF00DFACE12345678u))}}, kApplied,
        Bytes({0x78, 0x56, 0x34, 0x12, 0xCE, 0xFA, 0x0D, 0xF0, 9}), {}, {0xF00DFACE12345678u});
  Check(
      "a new value beyond 2^53", Bytes({0x05, 0x06}), {Item("Other", 0, 8, 8)},
      {{T("*keys")}, {T("Other"), N(9007199254740994.0)}}, kValueOutOfRange, Bytes({0x05, 0x06}),
      {"[Other]'s new value 9007199254740994 needs more than the 53 bits a spreadsheet cell holds "
       "exactly, so the number typed is not known exactly and was not written; please check "
       "it."});
  // Bounds are unsigned 32-bit numbers: min -5 is 4294967291.
  Check("below an unsigned bound", Bytes({0x00}), {Item("Neg", 2, 0, 8, -5, -1)},
        {{T("*keys")}, {T("Neg"), N(7)}}, kValueOutOfRange, Bytes({0x00}),
        {"ERROR!! [Neg" + kOutOfRange});
  Check("within bounds, at the top", Bytes({0x05, 0x06}),
        {Item("Volume", 2, 0, 8, 0, 255), Item("Neg", 2, 8, 8, -5, -1)},
        {{T("*keys")}, {T("Volume"), N(255)}, {T("Neg"), N(4294967292.0)}}, kApplied,
        Bytes({0xFF, 0xFC}), {});
  // A number item keeps its value for a text or an empty cell, and writes
  // it again all the same: a field inside one byte clears the bits above.
  Check("a text or an empty cell for a number", Bytes({0xF3, 0xF5}),
        {Valued(Item("Low", 0, 0, 4), 3), Valued(Item("High", 0, 8, 4), 5)},
        {{T("*keys")}, {T("Low"), T("0x10")}, {T("High"), {}}}, kApplied, Bytes({0x03, 0x05}), {},
        {3, 5});
  Check("a text with its terminator, an empty text", Bytes({1, 2, 3, 4, 5, 6, 7, 8}),
        {Item("Name", 1, 16, 0), Item("None", 1, 48, 0)},
        {{T("*keys")}, {T("Name"), T("AB")}, {T("None"), {}}}, kApplied,
        Bytes({1, 2, 'A', 'B', 0, 6, 0, 8}), {});
  // Width 4 bytes (32 bits): three characters and the terminator.
  Check("a text cut to its width", Bytes({9, 9, 9, 9, 9, 9, 9, 9}), {Item("Short", 1, 8, 32)},
        {{T("*keys")}, {T("Short"), T("ABCDEF")}}, kApplied, Bytes({9, 'A', 'B', 'C', 0, 9, 9, 9}),
        {"The text for [Short] takes 7 bytes, more than the 4 that its width leaves it; only its "
         "first 3 bytes were written."});
  Check(
      "a text cut to the block's end", Bytes({9, 9, 9, 9, 9, 9, 9, 9}), {Item("Tail", 1, 40, 0)},
      {{T("*keys")}, {T("Tail"), T("WXY")}}, kApplied, Bytes({9, 9, 9, 9, 9, 'W', 'X', 0}),
      {"The text for [Tail] takes 4 bytes, more than the 3 that the end of block [keys] leaves it; "
       "only its first 2 bytes were written."});
  code_page_ = *platform::CodePage::FromNumber(65001);
  Check("a character of several bytes is not split", Bytes({9, 9, 9, 9, 9, 9, 9, 9}),
        {Item("Short", 1, 8, 32)}, {{T("*keys")}, {T("Short"), T("AΩ€")}}, kApplied,
        Bytes({9, 'A', 0xCE, 0xA9, 0, 9, 9, 9}),
        {"The text for [Short] takes 7 bytes, more than the 4 that its width leaves it; only its "
         "first 3 bytes were written."});
  code_page_ = platform::CodePage();
  Check("a text beyond the cell buffer", std::vector<std::uint8_t>(400, 0xEE),
        {Item("Long", 1, 0, 0)}, {{T("*keys")}, {T("Long"), T(std::string(300, 'q'))}}, kApplied,
        Filled(400, 0xEE, std::string(255, 'q') + '\0'),
        {"The text for [Long] takes 301 bytes, more than the 256 that the cell text buffer leaves "
         "it; only its first 255 bytes were written."});
  // Names and texts are those of the script and the image, in code page
  // 1252; a cell text it cannot hold names nothing and is no value.
  Check("names and texts in the code page", Bytes({0, 0, 9, 9, 9, 9, 9, 9}),
        {Item("Lautst\xE4rke", 0, 0, 8), Item("Gru\xDF", 1, 16, 0), Item("??", 0, 8, 8)},
        {{T("*keys")},
         {T("Lautstärke"), N(7)},
         {T("Gruß"), T("Grüße")},
         {T("Жж"), N(5)},
         {T("*Блок")},
         {T("Lautstärke"), N(8)}},
        kApplied, Bytes({7, 0, 'G', 'r', 0xFC, 0xDF, 'e', 0}), {});
  Check("a text the code page cannot hold", Bytes({1, 2, 3}), {Item("Gru\xDF", 1, 0, 0)},
        {{T("*keys")}, {T("Gruß"), T("Привет")}}, kValueOutOfRange, Bytes({1, 2, 3}),
        {"The text for [Gruß], \"Привет\", has characters that code page 1252 has no bytes for "
         "(NUV_CODEPAGE chooses the code page), so it cannot be written to the image; please check "
         "it."});
  Check("a number for a text", Bytes({7, 7, 7, 7, 7}), {Item("Pin", 1, 0, 0)},
        {{T("*keys")}, {T("Pin"), N(12.9)}}, kApplied, Bytes({'1', '2', 0, 7, 7}),
        {"[Pin] is a text item and its value cell holds a number; the number's decimal text \"12\" "
         "was written."});
  Check("a boolean or an error for a text", Bytes({7, 7, 7}), {Item("Pin", 1, 0, 0)},
        {{T("*keys")}, {T("Pin"), Variant::Bool(true)}, {T("Pin"), Variant::CellError(kErrorNA)}},
        kApplied, Bytes({7, 7, 7}), {kNeither, kNeither});
  // A boolean row reads "Power" again, and its text leaves the value; the
  // error row, reading the text left by column B ("text"), matches nothing.
  Check("a boolean or an error in column A", Bytes({0, 0}),
        {Item("Power", 0, 0, 8), Item("Other", 0, 8, 8)},
        {{T("*keys")},
         {T("Power"), N(5)},
         {Variant::Bool(false), T("text")},
         {Variant::CellError(kErrorDiv0), N(9)}},
        kApplied, Bytes({5, 0}), {});
  Check("a number in column A as its text, an empty cell as NULL", Bytes({0, 0}),
        {Item("12", 0, 8, 8), Item("NULL", 0, 0, 8)},
        {{T("*keys")}, {N(12.5), N(0x12)}, {{}, N(0x34)}}, kApplied, Bytes({0x34, 0x12}), {});
  Check("rows outside known blocks and items", Bytes({0, 0}), {Item("Power", 0, 0, 8)},
        {{T("Power"), N(1)},  // before any "*" row: the title row too
         {T("*nope"), {}},    // no such block of the sheet
         {T("Power"), N(2)},  // so this row is skipped
         {T("*keys"), {}},
         {T("Unknown"), N(3)},  // no such item
         {T("*KEYS")},          // names compare case-sensitively
         {T("Power"), N(4)}},
        kApplied, Bytes({0, 0}), {});
  Check("a later row overwrites, a block comes again", Bytes({0, 0}), {Item("Power", 0, 0, 8)},
        {{T("*keys")}, {T("Power"), N(6)}, {T("*nope")}, {T("*keys")}, {T("Power"), N(7)}},
        kApplied, Bytes({7, 0}), {});
  Check("a block row alone looks no block up", Bytes({0}), {Item("Power", 0, 0, 8)}, {{T("*keys")}},
        kApplied, Bytes({0}), {}, {}, 0, 0x23);
  Check("an item row of a block the image lacks, naming no item", Bytes({0}),
        {Item("Power", 0, 0, 8)}, {{T("*keys")}, {T("Nothing")}}, kBlockProblem, Bytes({0}),
        {"ERROR!! can not find block [keys] id[0x23]in dmh!"}, {}, 0, 0x23);
  Check("an item beyond its block", Bytes({1, 2}), {Item("Far", 0, 12, 8)},
        {{T("*keys")}, {T("Far"), N(0xFF)}}, kBlockProblem, Bytes({1, 2}),
        {"[Far] lies outside the 2 bytes of block [keys], so the workbook cannot be applied to "
         "it."});
  Check("a text beyond its block", Bytes({1, 2}), {Item("Text", 1, 16, 0)},
        {{T("*keys")}, {T("Text"), T("x")}}, kBlockProblem, Bytes({1, 2}),
        {"[Text] lies outside the 2 bytes of block [keys], so the workbook cannot be applied to "
         "it."});
  Check("an item before its block", Bytes({1, 2}), {Item("Before", 0, 0, 8)},
        {{T("*keys")}, {T("Before"), N(1)}}, kBlockProblem, Bytes({1, 2}),
        {"[Before] lies outside the 2 bytes of block [keys], so the workbook cannot be applied to "
         "it."},
        {}, -1);
}

TEST_F(ConfigSheet, ColumnBOfASheetOneColumnWideIsAnAutomationError) {
  table_.records = {MakeRecord(0x22, "keys", Bytes({0}))};
  model_.sheet2.blocks = {Block("keys", 0x22, 0, 0, {Item("Power", 0, 0, 8)})};
  WorkbookExchange exchange = Exchange();
  CellText text{platform::CodePage()};
  const ValueArray values = Sheet({{T("*keys")}, {T("Power")}});
  EXPECT_THROW(static_cast<void>(ApplyConfigSheet(exchange, text, values, 2, model_.sheet2.blocks)),
               AutomationError);
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
  SheetResult Apply(const Rows& rows) {
    WorkbookExchange exchange = Exchange();
    CellText text{platform::CodePage()};
    const ValueArray values = Sheet(rows);
    return ApplyFilePathSheet(exchange, text, values, values.rows());
  }
  std::vector<std::uint8_t> Data(std::size_t k) const { return testing::BlockBytes(table_, k); }
  // The hardware-info block after applying `file`.
  void ApplyHwInfo(const std::string& file, std::size_t size, SheetResult result) {
    table_.records[1] = MakeRecord(0x25, "hwinfo", std::vector<std::uint8_t>(size, 0xEE));
    EXPECT_EQ(Apply({{T("*hwinfo"), T(Path(file).string())}}), result);
  }
};

TEST_F(FilePathSheet, ABinaryFileReplacesTheBlockAndItsSizeTheLastPathWinning) {
  ASSERT_EQ(Apply({{T("Block"), T("File")}, {T("*logo"), T(Path("ten.bin").string())}}), kApplied);
  EXPECT_EQ(Data(0), Bytes({'0', '1', '2', '3', '4', '5', '6', '7', '8', '9'}));
  EXPECT_EQ(table_.records[0].entry.size(), 10u);
  // A backslash is part of a file's name (on Windows it separates a
  // folder); rows of a block after its first count too.
  std::filesystem::create_directories(Path("my"));
  testing::WriteFile(Path("my\\two.bin"), "ab");
  ASSERT_EQ(Apply({{T("*logo"), T(Path("ten.bin").string())},
                   {T("item row"), T(Path("my\\two.bin").string())},
                   {T("other"), N(5)}}),
            kApplied);
  EXPECT_EQ(Data(0), Bytes({'a', 'b'}));
  EXPECT_EQ(table_.records[0].entry.size(), 2u);
  EXPECT_TRUE(messages_.shown().empty());
}

TEST_F(FilePathSheet, FilesThatCannotBeOpenedAndOtherRowsLeaveTheBlockSilently) {
  std::filesystem::create_directories(Path("folder.bin"));
  // Rows before a "*" row belong to no block; em 1 is no file block;
  // numbers are no paths.
  ASSERT_EQ(Apply({{T("x"), T(Path("ten.bin").string())},
                   {T("*logo"), T(Path("missing.bin").string())},
                   {T("*logo"), T(Path("folder.bin").string())},
                   {T("*logo"), T("")},
                   {T("*plain"), T(Path("ten.bin").string())},
                   {T("*logo"), N(3)},
                   {T("*unknown"), T(Path("ten.bin").string())}}),
            kApplied);
  EXPECT_EQ(Data(0), Bytes({1, 2, 3}));
  EXPECT_EQ(table_.records[0].entry.size(), 3u);
  EXPECT_TRUE(messages_.shown().empty());
}

TEST_F(FilePathSheet, AHardwareInfoFileFillsTheStartOfItsBlockWhichKeepsItsSize) {
  ApplyHwInfo("hw.txt", 512, kApplied);
  std::vector<std::uint8_t> expected(512, 0);
  const std::vector<std::uint8_t> panel = Bytes({4, 0, 0x01, 0x02, 0x1F, 0x00}),
                                  leds = Bytes({3, 0, '0', 0x3F, '1', 0x06, 'A', 0x77});
  std::copy(panel.begin(), panel.end(), expected.begin());
  std::copy(leds.begin(), leds.end(), expected.begin() + 40);
  EXPECT_EQ(Data(1), expected);
  EXPECT_EQ(table_.records[1].entry.size(), 512u);
  // A small block takes the start of the content; 5120 bytes, the usual
  // size, are the most the new content can fill. All silently.
  ApplyHwInfo("hw.txt", 4, kApplied);
  EXPECT_EQ(Data(1), Bytes({4, 0, 0x01, 0x02}));
  ApplyHwInfo("hw.txt", 5120, kApplied);
  EXPECT_TRUE(messages_.shown().empty()) << messages_.texts().front();
  ApplyHwInfo("hw.txt", 5121, kBlockProblem);
  EXPECT_EQ(messages_.texts(),
            std::vector<std::string>{"The hardware info block [hwinfo] holds 5121 bytes, more "
                                     "than the 5120 bytes its new content can have; it was not "
                                     "replaced."});
  EXPECT_EQ(Data(1), std::vector<std::uint8_t>(5121, 0xEE));
}

TEST_F(FilePathSheet, AHardwareInfoFileThatDoesNotParseFailsTheSheet) {
  std::string panel = "panel starts\n";
  for (int i = 0; i < 39; ++i)
    panel += "0x01,";
  testing::WriteFile(Path("bad.txt"), panel + "##\n");
  EXPECT_EQ(Apply({{T("*logo"), T(Path("ten.bin").string())},
                   {T("*hwinfo"), T(Path("bad.txt").string())}}),
            kBlockProblem);
  EXPECT_EQ(messages_.shown(), (std::vector<std::pair<BoxCaption, std::string>>{
                                   {BoxCaption::Application, "error while parsing panel hw info"},
                                   {BoxCaption::Application, "Parse hw info file failed"}}));
  EXPECT_EQ(Data(1), std::vector<std::uint8_t>(512, 0xEE));
  EXPECT_EQ(Data(0).size(), 10u);  // the row before stays applied
}

TEST_F(FilePathSheet, AHardwareInfoFileThatCannotBeOpenedLeavesTheBlockAndSaysSo) {
  ApplyHwInfo("missing.txt", 512, kApplied);
  EXPECT_EQ(Data(1), std::vector<std::uint8_t>(512, 0xEE));
  EXPECT_EQ(messages_.texts(),
            std::vector<std::string>{"The hardware info file " + Path("missing.txt").string() +
                                     " cannot be opened; block [hwinfo] was left as it was."});
}

TEST_F(FilePathSheet, AFileNameTheCodePageCannotHoldFailsTheSheet) {
  testing::WriteFile(Path("Канал.bin"), "ab");
  EXPECT_EQ(Apply({{T("*logo"), T(Path("Канал.bin").string())}}), kBlockProblem);
  EXPECT_EQ(messages_.texts(),
            std::vector<std::string>{"The file name \"" + Path("Канал.bin").string() +
                                     "\" for block [logo] has characters that code page 1252 has "
                                     "no bytes for (NUV_CODEPAGE chooses the code page), so the "
                                     "file cannot be named; please check it."});
  EXPECT_EQ(Data(0), Bytes({1, 2, 3}));
}

TEST_F(FilePathSheet, ABlockTheImageLacksFails) {
  table_.records.erase(table_.records.begin());
  // A "*" row with nothing in B still looks its block up.
  EXPECT_EQ(Apply({{T("*logo"), {}}}), kBlockProblem);
  EXPECT_EQ(messages_.texts(),
            std::vector<std::string>{"ERROR!! can not find block [logo] id[0x24]in dmh!"});
}

}  // namespace
}  // namespace nuv::exchange
