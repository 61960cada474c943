// The import's reading of the configuration and "File_Path" sheets: cell
// texts, number rules, range checks, texts, files, and every failure; and
// its own bit-field writer, over bytes that neighbouring fields share.
// (Fields across two bytes and all ones over 16 bits are seen through the
// configuration sheets, 64 bits across nine bytes through the command-line
// test's edits.)
#include <gtest/gtest.h>

#include "common/bit_field.h"
#include "exchange/import_bit_field.h"
#include "exchange/import_workbook.h"
#include "exchange_test_support.h"
#include "platform/errors.h"

namespace nuv::exchange {
namespace {

using namespace testing;  // the exchange helpers and the workbook layer
using enum SheetResult;
using enum common::BoundedWrite;

// Bytes outside the block are never written: a field that needs one, or
// that is no field at all, leaves every byte as it was.
TEST(ImportBitField, WritesTheBytesTheFieldStartsInWithoutCuttingTheValueAndNoneOutside) {
  struct Case {
    std::vector<std::uint8_t> before;
    std::int64_t offset, length;
    std::uint64_t value;
    std::vector<std::uint8_t> after;
    common::BoundedWrite result = kWritten;
  } cases[] = {
      {Bytes({0xFF}), 2, 3, 0x0, Bytes({0x03})},  // the bits below stay, those above clear
      // 300 in an 8-bit field: its ninth bit is lost only because no byte
      // follows in the field; in a one-byte field the value's bits above
      // the field land in the same byte.
      {Bytes({0x00, 0xFF}), 0, 8, 300, Bytes({0x2C, 0xFF})},
      {Bytes({0x0F}), 2, 2, 0xFF, Bytes({0xFF})},
      {Bytes({0x00, 0x00}), 4, 8, 0xFFF, Bytes({0xF0, 0xFF})},
      // A zero width still writes its first byte.
      {Bytes({0x00, 0xEE}), 8, 0, 0x41, Bytes({0x00, 0x41})},
      {Bytes({0xFF}), 3, 0, 0, Bytes({0x07})},
      {Bytes({0x11, 0x22}), 12, 8, 0xFF, Bytes({0x11, 0x22}), kOutside},  // needs a third byte
      {Bytes({0x11, 0x22}), 16, 0, 0, Bytes({0x11, 0x22}), kOutside},     // first byte past the end
      {Bytes({0x11, 0x22}), -1, 4, 0, Bytes({0x11, 0x22}), kOutside},
      {Bytes({0x11, 0x22}), 0, -8, 0, Bytes({0x11, 0x22}), kOutside},
      // Room for 65 bits, but no field has them.
      {std::vector<std::uint8_t>(9), 0, 65, 0, std::vector<std::uint8_t>(9), kOutside},
      {{}, 0, 1, 1, {}, kOutside},
  };
  for (Case& c : cases) {
    EXPECT_EQ(WriteImportBitField(c.before, c.offset, c.length, c.value), c.result)
        << c.offset << "+" << c.length;
    EXPECT_EQ(c.before, c.after) << c.offset << "+" << c.length;
  }
}

TEST(ImportBitField, ItemsSharingAByteKeepEachOtherOnlyInAscendingOrder) {
  std::vector<std::uint8_t> up = Bytes({0x00}), down = Bytes({0x00});
  ASSERT_EQ(WriteImportBitField(up, 0, 4, 0x5), kWritten);
  ASSERT_EQ(WriteImportBitField(up, 4, 4, 0xA), kWritten);
  EXPECT_EQ(up, Bytes({0xA5}));
  ASSERT_EQ(WriteImportBitField(down, 4, 4, 0xA), kWritten);
  ASSERT_EQ(WriteImportBitField(down, 0, 4, 0x5), kWritten);
  EXPECT_EQ(down, Bytes({0x05}));
}

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
const std::string kShortCut =
    "The text for [Short] takes 7 bytes, more than the 4 that its width leaves it; only its first "
    "3 bytes were written.";
const std::string kNeither =
    "[Pin] is a text item and its value cell holds neither a text nor a number; the item was "
    "left as it was.";

TEST_F(ConfigSheet, EachRowRuleAndFailure) {
  Check("bit fields at the block's offset", Bytes({0x99, 0xF5, 0xA0, 0x00, 0xF0, 0x5F}),
        {Item("Nibble", 0, 4, 8), Item("Shared", 0, 28, 8)},
        {{T("Key"), T("Code")}, {T("*keys")}, {T("Nibble"), N(0x3C)}, {T("Shared"), N(0xAB)}},
        kApplied, Bytes({0x99, 0xC5, 0xA3, 0x00, 0xB0, 0x5A}), {}, {0x3C, 0xAB}, 1);
  Check("numbers truncated toward zero, kept as 64-bit patterns", Bytes({0, 0, 0x77, 0, 0}),
        {Item("Word", 0, 0, 16), Item("Byte", 0, 24, 8), Item("Negative", 0, 32, 8)},
        {{T("*keys")}, {T("Word"), N(-1)}, {T("Byte"), N(12.9)}, {T("Negative"), N(-12.9)}},
        kApplied, Bytes({0xFF, 0xFF, 0x77, 0x0C, 0xF4}), {},
        {0xFFFFFFFFFFFFFFFFu, 12, static_cast<std::uint64_t>(-12)});
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
  Check("within bounds, at the top, then below an unsigned bound", Bytes({0x05, 0x06}),
        {Item("Volume", 2, 0, 8, 0, 255), Item("Neg", 2, 8, 8, -5, -1)},
        {{T("*keys")}, {T("Volume"), N(255)}, {T("Neg"), N(4294967292.0)}, {T("Neg"), N(7)}},
        kValueOutOfRange, Bytes({0xFF, 0xFC}), {"ERROR!! [Neg" + kOutOfRange});
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
        {kShortCut});
  Check(
      "a text cut to the block's end", Bytes({9, 9, 9, 9, 9, 9, 9, 9}), {Item("Tail", 1, 40, 0)},
      {{T("*keys")}, {T("Tail"), T("WXY")}}, kApplied, Bytes({9, 9, 9, 9, 9, 'W', 'X', 0}),
      {"The text for [Tail] takes 4 bytes, more than the 3 that the end of block [keys] leaves it; "
       "only its first 2 bytes were written."});
  code_page_ = *platform::CodePage::FromNumber(65001);
  Check("a character of several bytes is not split", Bytes({9, 9, 9, 9, 9, 9, 9, 9}),
        {Item("Short", 1, 8, 32)}, {{T("*keys")}, {T("Short"), T("AΩ€")}}, kApplied,
        Bytes({9, 'A', 0xCE, 0xA9, 0, 9, 9, 9}), {kShortCut});
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
  Check("a number, a boolean or an error for a text", Bytes({7, 7, 7, 7, 7}),
        {Item("Pin", 1, 0, 0)},
        {{T("*keys")},
         {T("Pin"), N(12.9)},
         {T("Pin"), Variant::Bool(true)},
         {T("Pin"), Variant::CellError(kErrorNA)}},
        kApplied, Bytes({'1', '2', 0, 7, 7}),
        {"[Pin] is a text item and its value cell holds a number; the number's decimal text \"12\" "
         "was written.",
         kNeither, kNeither});
  // A boolean row reads "Power" again, and its text leaves the value; the
  // error row, reading the text left by column B ("text"), matches nothing.
  // A number in column A reads as its text, an empty cell as NULL.
  Check("a boolean, an error, a number or nothing in column A", Bytes({0, 0, 0, 0}),
        {Item("Power", 0, 0, 8), Item("Other", 0, 8, 8), Item("12", 0, 16, 8),
         Item("NULL", 0, 24, 8)},
        {{T("*keys")},
         {T("Power"), N(5)},
         {Variant::Bool(false), T("text")},
         {Variant::CellError(kErrorDiv0), N(9)},
         {N(12.5), N(0x12)},
         {{}, N(0x34)}},
        kApplied, Bytes({5, 0, 0x12, 0x34}), {});
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
  // Items beyond their block or before it stop the sheet.
  for (const auto& [item, value, start] : {std::tuple{Item("Far", 0, 12, 8), N(0xFF), 0},
                                           std::tuple{Item("Text", 1, 16, 0), T("x"), 0},
                                           std::tuple{Item("Before", 0, 0, 8), N(1), -1}})
    Check(item.name.c_str(), Bytes({1, 2}), {item}, {{T("*keys")}, {T(item.name), value}},
          kBlockProblem, Bytes({1, 2}),
          {"[" + item.name +
           "] lies outside the 2 bytes of block [keys], so the workbook cannot be applied to it."},
          {}, start);
  EXPECT_THROW(Check("column B of a sheet one column wide", Bytes({0}), {Item("Power", 0, 0, 8)},
                     {{T("*keys")}, {T("Power")}}, kApplied, {}, {}),
               AutomationError);
}

// The hardware-info block of `size` bytes that hw.txt gives: its panel
// values at 0 and its LEDs at 40, then zeros.
std::vector<std::uint8_t> HwInfo(std::size_t size) {
  std::vector<std::uint8_t> out(std::max<std::size_t>(size, 48), 0);
  const std::vector<std::uint8_t> panel = Bytes({4, 0, 0x01, 0x02, 0x1F, 0x00}),
                                  leds = Bytes({3, 0, '0', 0x3F, '1', 0x06, 'A', 0x77});
  std::copy(panel.begin(), panel.end(), out.begin());
  std::copy(leds.begin(), leds.end(), out.begin() + 40);
  out.resize(size);
  return out;
}

class FilePathSheet : public testing::ExchangeTest {
 protected:
  void SetUp() override {
    ExchangeTest::SetUp();
    model_.sheet4.blocks = {Block("logo", 0x24, 0, 3, {}), Block("hwinfo", 0x25, 0, 2, {}),
                            Block("plain", 0x24, 0, 1, {})};
    testing::WriteFile(Path("ten.bin"), "0123456789");
    std::filesystem::create_directories(Path("my"));
    testing::WriteFile(Path("my\\two.bin"), "ab");
    std::filesystem::create_directories(Path("folder.bin"));
    testing::WriteFile(Path("Канал.bin"), "ab");
    testing::WriteFile(Path("hw.txt"),
                       "panel starts\n0x01, 0x02, 0x1F,\n0x00,##\n"
                       "led starts\n{'0', 0x3F}, {'1', 0x06},\n{'A', 0x77},##\n");
    std::string panel = "panel starts\n";  // more values than a panel has
    for (int i = 0; i < 39; ++i)
      panel += "0x01,";
    testing::WriteFile(Path("bad.txt"), panel + "##\n");
  }
  SheetResult Apply(const Rows& rows) {
    WorkbookExchange exchange = Exchange();
    CellText text{platform::CodePage()};
    const ValueArray values = Sheet(rows);
    return ApplyFilePathSheet(exchange, text, values, values.rows());
  }
  // Applies `rows` to a block "logo" of 1, 2, 3 and a block "hwinfo" of
  // `hwinfo_size` bytes 0xEE: the sheet gives `result` and `messages`, in
  // the application's boxes, and leaves `logo` and `hwinfo` (0xEE still if
  // not given), each block's size that of its data.
  void Check(const char* what, const Rows& rows, SheetResult result,
             const std::vector<std::string>& messages, const std::vector<std::uint8_t>& logo,
             std::size_t hwinfo_size = 512, std::vector<std::uint8_t> hwinfo = {}) {
    SCOPED_TRACE(what);
    table_.records = {MakeRecord(0x24, "logo", Bytes({1, 2, 3})),
                      MakeRecord(0x25, "hwinfo", std::vector<std::uint8_t>(hwinfo_size, 0xEE))};
    messages_.clear();
    EXPECT_EQ(Apply(rows), result);
    EXPECT_EQ(messages_.texts(), messages);
    for (const auto& [caption, shown] : messages_.shown())
      EXPECT_EQ(caption, BoxCaption::Application) << shown;
    EXPECT_EQ(testing::BlockBytes(table_, 0), logo);
    EXPECT_EQ(testing::BlockBytes(table_, 1),
              hwinfo.empty() ? std::vector<std::uint8_t>(hwinfo_size, 0xEE) : hwinfo);
    for (const image::BlockRecord& record : table_.records)
      EXPECT_EQ(record.entry.size(), record.data.size());
  }
};

TEST_F(FilePathSheet, EachRowRuleAndFailure) {
  const std::vector<std::uint8_t> kLogo = Bytes({1, 2, 3}),
                                  kTen = Bytes({'0', '1', '2', '3', '4', '5', '6', '7', '8', '9'});
  const Rows hw = {{T("*hwinfo"), T(Path("hw.txt").string())}};
  Check("a binary file replaces the block and its size",
        {{T("Block"), T("File")}, {T("*logo"), T(Path("ten.bin").string())}}, kApplied, {}, kTen);
  // A backslash is part of a file's name (on Windows it separates a
  // folder); rows of a block after its first count too.
  Check("the last path wins",
        {{T("*logo"), T(Path("ten.bin").string())},
         {T("item row"), T(Path("my\\two.bin").string())},
         {T("other"), N(5)}},
        kApplied, {}, Bytes({'a', 'b'}));
  // Rows before a "*" row belong to no block; em 1 is no file block;
  // numbers are no paths.
  Check("files that cannot be opened and other rows leave the block silently",
        {{T("x"), T(Path("ten.bin").string())},
         {T("*logo"), T(Path("missing.bin").string())},
         {T("*logo"), T(Path("folder.bin").string())},
         {T("*logo"), T("")},
         {T("*plain"), T(Path("ten.bin").string())},
         {T("*logo"), N(3)},
         {T("*unknown"), T(Path("ten.bin").string())}},
        kApplied, {}, kLogo);
  Check("a file name the code page cannot hold fails the sheet",
        {{T("*logo"), T(Path("Канал.bin").string())}}, kBlockProblem,
        {"The file name \"" + Path("Канал.bin").string() +
         "\" for block [logo] has characters that code page 1252 has no bytes for (NUV_CODEPAGE "
         "chooses the code page), so the file cannot be named; please check it."},
        kLogo);
  // A hardware info file fills the start of its block, which keeps its
  // size: a small block takes the start of the content; 5120 bytes, the
  // usual size, are the most the new content can fill.
  for (const std::size_t size : {512, 4, 5120})
    Check("a hardware info file", hw, kApplied, {}, kLogo, size, HwInfo(size));
  Check("a hardware info block too large", hw, kBlockProblem,
        {"The hardware info block [hwinfo] holds 5121 bytes, more than the 5120 bytes its new "
         "content can have; it was not replaced."},
        kLogo, 5121);
  Check("a hardware info file that does not parse fails the sheet, the row before stays",
        {{T("*logo"), T(Path("ten.bin").string())}, {T("*hwinfo"), T(Path("bad.txt").string())}},
        kBlockProblem, {"error while parsing panel hw info", "Parse hw info file failed"}, kTen);
  Check("a hardware info file that cannot be opened",
        {{T("*hwinfo"), T(Path("missing.txt").string())}}, kApplied,
        {"The hardware info file " + Path("missing.txt").string() +
         " cannot be opened; block [hwinfo] was left as it was."},
        kLogo);
  // A "*" row with nothing in B still looks its block up.
  table_.records.erase(table_.records.begin());
  messages_.clear();
  EXPECT_EQ(Apply({{T("*logo"), {}}}), kBlockProblem);
  EXPECT_EQ(messages_.texts(),
            std::vector<std::string>{"ERROR!! can not find block [logo] id[0x24]in dmh!"});
}

}  // namespace
}  // namespace nuv::exchange
