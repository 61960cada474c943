// The workbook export: its steps, the layout of every sheet, the
// highlighting and its failures, seen through the saved file and through
// the automation calls made.
#include "workbook/export_workbook.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "exchange_test_support.h"
#include "platform/errors.h"
#include "sample_preset.h"
#include "workbook/excel_dispids.h"
#include "workbook/xls_file.h"

namespace nuv::workbook {
namespace {

using testing::Block;
using testing::Bytes;
using testing::Call;
using testing::Item;
using testing::MakeRecord;

constexpr auto kGet = InvokeKind::PropertyGet;
constexpr auto kPut = InvokeKind::PropertyPut;
constexpr auto kMethod = InvokeKind::Method;

class Export : public testing::ExchangeTest {
 protected:
  void AddPresetBlock(const std::vector<std::uint8_t>& table) {
    table_.records.push_back(MakeRecord(0x26, "preset", samples::LzmaAloneCompress(table)));
  }
  void AddSamplePreset() {
    AddPresetBlock(samples::PresetTableBytes(
        samples::kSamplePresetRows, samples::kSamplePresetColumns, samples::SamplePresetCells()));
  }

  // sheet2: two blocks of three items (the first with descriptions);
  // sheet3: a value with its top bit set and an item of an unknown type;
  // sheet4: a file block and a hardware-info block.
  void FillModel() {
    model_.sheet2.columns = {{"Key"}, {"Code"}, {"Min"}, {"Max"}, {"Description"}};
    toolcfg::ConfigBlock keys = Block(
        "irkeys", 0x22, 0, 1,
        {Item("Power", 0, 0, 8), Item("Label", 1, 8, 64), Item("Custom", 2, 28, 12, 0, 4095)});
    keys.items[0].number_value = 0x0C;
    keys.items[0].description = "Power key";
    keys.items[1].text_value = "MENU";
    keys.items[1].description = "Label text";
    keys.items[2].number_value = 0xABC;
    keys.items[2].description = "Custom code";
    toolcfg::ConfigBlock more =
        Block("front", 0x27, 0, 0,
              {Item("Up", 0, 0, 8), Item("Down", 0, 8, 8), Item("Neg", 2, 16, 8, -5, -1)});
    more.items[1].number_value = 3;
    model_.sheet2.blocks = {keys, more};

    model_.sheet3.columns = {{"Item"}, {"Value"}};
    toolcfg::ConfigBlock sys =
        Block("sysconf", 0x21, 4, 1, {Item("Serial", 0, 0, 64), Item("Odd", 7, 64, 8)});
    sys.items[0].number_value = 0xF000000000000000u;
    sys.items[0].description = "Serial number";
    sys.items[1].description = "Kept as text";
    model_.sheet3.blocks = {sys};

    model_.sheet4.columns = {{"Block"}, {"File"}};
    model_.sheet4.blocks = {Block("logo", 0x24, 0, 3, {}), Block("hwinfo", 0x25, 0, 2, {})};
  }

  int Run(std::string& path, ExportOptions options = {}) {
    WorkbookExchange exchange = Exchange();
    return ExportWorkbook(exchange, path, options);
  }

  WorkbookData Saved() { return ReadXlsFile(Path("preset.xls")); }

  static const Cell* At(const WorkbookData& book, std::size_t sheet, std::uint32_t row,
                        std::uint32_t column) {
    return book.sheets.at(sheet)->cells.Find(row, column);
  }
  static std::u16string TextAt(const WorkbookData& book, std::size_t sheet, std::uint32_t row,
                               std::uint32_t column) {
    const Cell* cell = At(book, sheet, row, column);
    return cell && cell->value.type() == VT_BSTR ? cell->value.AsText() : u"<none>";
  }
  static double NumberAt(const WorkbookData& book, std::size_t sheet, std::uint32_t row,
                         std::uint32_t column) {
    const Cell* cell = At(book, sheet, row, column);
    return cell && cell->value.type() == VT_R8 ? cell->value.AsDouble() : -1.0;
  }
  // The filled columns of a row, as a list.
  static std::vector<std::uint32_t> Filled(const WorkbookData& book, std::size_t sheet,
                                           std::uint32_t row) {
    std::vector<std::uint32_t> columns;
    for (std::uint32_t c = 1; c <= 256; ++c) {
      const Cell* cell = At(book, sheet, row, c);
      if (cell && cell->fill == kHighlightColor)
        columns.push_back(c);
    }
    return columns;
  }
  static std::vector<std::uint32_t> Range(std::uint32_t from, std::uint32_t to) {
    std::vector<std::uint32_t> out;
    for (std::uint32_t c = from; c <= to; ++c)
      out.push_back(c);
    return out;
  }
  bool Called(DispId member, InvokeKind kind) const {
    return std::any_of(calls().begin(), calls().end(),
                       [&](const Call& c) { return c.member == member && c.kind == kind; });
  }
};

TEST_F(Export, SavesTheFourSheetsInTheCurrentDirectory) {
  FillModel();
  AddSamplePreset();
  std::string path;
  ASSERT_EQ(Run(path), 1);
  EXPECT_EQ(path, std::filesystem::current_path().string() + "\\preset.xls");
  EXPECT_EQ(NativeFilePath(path), Path("preset.xls"));
  EXPECT_TRUE(messages_.shown().empty()) << messages_.texts().front();
  const WorkbookData book = Saved();
  ASSERT_EQ(book.sheets.size(), 4u);
  EXPECT_EQ(book.sheets[0]->name, u"Program");
  EXPECT_EQ(book.sheets[1]->name, u"IR_FP_Key");
  EXPECT_EQ(book.sheets[2]->name, u"Sys_Config");
  EXPECT_EQ(book.sheets[3]->name, u"File_Path");
}

TEST_F(Export, ConfigurationSheetsHaveTitlesBlockRowsAndItemRowsByType) {
  FillModel();
  AddSamplePreset();
  std::string path;
  ASSERT_EQ(Run(path), 1);
  const WorkbookData book = Saved();

  // IR_FP_Key: titles; blocks at rows 2 and 6, items at 3-5 and 7-9.
  EXPECT_EQ(TextAt(book, 1, 1, 1), u"Key");
  EXPECT_EQ(TextAt(book, 1, 1, 5), u"Description");
  EXPECT_EQ(At(book, 1, 1, 6), nullptr);
  EXPECT_EQ(TextAt(book, 1, 2, 1), u"*irkeys");
  EXPECT_EQ(TextAt(book, 1, 3, 1), u"Power");
  EXPECT_EQ(NumberAt(book, 1, 3, 2), 12);
  EXPECT_EQ(At(book, 1, 3, 3), nullptr);  // a number item leaves C and D empty
  EXPECT_EQ(At(book, 1, 3, 4), nullptr);
  EXPECT_EQ(TextAt(book, 1, 3, 5), u"Power key");
  EXPECT_EQ(TextAt(book, 1, 4, 2), u"MENU");
  EXPECT_EQ(TextAt(book, 1, 4, 5), u"Label text");
  EXPECT_EQ(NumberAt(book, 1, 5, 2), 0xABC);
  EXPECT_EQ(NumberAt(book, 1, 5, 3), 0);
  EXPECT_EQ(NumberAt(book, 1, 5, 4), 4095);
  EXPECT_EQ(TextAt(book, 1, 5, 5), u"Custom code");
  EXPECT_EQ(TextAt(book, 1, 6, 1), u"*front");
  EXPECT_EQ(TextAt(book, 1, 7, 1), u"Up");
  EXPECT_EQ(NumberAt(book, 1, 8, 2), 3);
  EXPECT_EQ(At(book, 1, 8, 5), nullptr);  // em 0: no descriptions
  // min and max are written as unsigned 32-bit numbers.
  EXPECT_EQ(NumberAt(book, 1, 9, 3), 4294967291.0);
  EXPECT_EQ(NumberAt(book, 1, 9, 4), 4294967295.0);
  EXPECT_EQ(At(book, 1, 10, 1), nullptr);

  // Sys_Config: a value with its top bit set is a large positive number;
  // an item of another type has only its name and its description in D.
  EXPECT_EQ(TextAt(book, 2, 2, 1), u"*sysconf");
  EXPECT_EQ(NumberAt(book, 2, 3, 2), 17293822569102704640.0);
  EXPECT_EQ(TextAt(book, 2, 3, 5), u"Serial number");
  EXPECT_EQ(TextAt(book, 2, 4, 1), u"Odd");
  EXPECT_EQ(At(book, 2, 4, 2), nullptr);
  EXPECT_EQ(TextAt(book, 2, 4, 4), u"Kept as text");
  EXPECT_EQ(At(book, 2, 4, 5), nullptr);

  // File_Path: block rows only, and no highlight.
  EXPECT_EQ(TextAt(book, 3, 1, 2), u"File");
  EXPECT_EQ(TextAt(book, 3, 2, 1), u"*logo");
  EXPECT_EQ(TextAt(book, 3, 3, 1), u"*hwinfo");
  EXPECT_TRUE(Filled(book, 3, 2).empty());
  EXPECT_TRUE(Filled(book, 3, 3).empty());
}

TEST_F(Export, BlockRowsAreHighlightedAcrossThePresetTablesColumns) {
  FillModel();
  AddSamplePreset();  // 5 columns
  std::string path;
  ASSERT_EQ(Run(path), 1);
  const WorkbookData book = Saved();
  EXPECT_EQ(Filled(book, 1, 2), Range(1, 5));
  EXPECT_EQ(Filled(book, 1, 6), Range(1, 5));
  EXPECT_TRUE(Filled(book, 1, 3).empty());
  EXPECT_TRUE(Filled(book, 1, 1).empty());
  EXPECT_EQ(Filled(book, 2, 2), Range(1, 5));
  EXPECT_TRUE(Filled(book, 3, 2).empty());
}

TEST_F(Export, ProgramSheetShowsThePresetTableWithStarredRowsHighlighted) {
  AddSamplePreset();
  std::string path;
  ASSERT_EQ(Run(path), 1);
  const WorkbookData book = Saved();
  EXPECT_EQ(TextAt(book, 0, 1, 1), u"*Favourites");
  EXPECT_EQ(Filled(book, 0, 1), Range(1, 5));
  // Within a row a cell follows the previous one: "Locked", stored from
  // column E after the empty D, comes back in D.
  EXPECT_EQ(TextAt(book, 0, 2, 4), u"Locked");
  EXPECT_EQ(At(book, 0, 2, 5), nullptr);
  EXPECT_TRUE(Filled(book, 0, 2).empty());
  EXPECT_EQ(TextAt(book, 0, 3, 2), u"Канал 1");
  // The empty fourth row left no trace: the fifth row comes up.
  EXPECT_EQ(TextAt(book, 0, 4, 2), u"日本のチャンネル");
  EXPECT_EQ(TextAt(book, 0, 5, 2), u"Ωmega \U0001F4FA");
  EXPECT_EQ(At(book, 0, 6, 1), nullptr);
  // Numbers of the table are texts on the sheet.
  EXPECT_EQ(TextAt(book, 0, 3, 3), u"11778");
}

TEST_F(Export, StepsComeInOrderAndTheApplicationIsHandedOver) {
  model_.sheet2.columns = {{"Key"}};
  model_.sheet2.blocks = {Block("k", 0x22, 0, 0, {Item("P", 0, 0, 8)})};
  AddPresetBlock(samples::PresetTableBytes(1, 2, {{1, 2, u"*x"}}));
  RecordCalls();
  std::string path;
  ASSERT_EQ(Run(path), 1);
  using namespace dispid;
  const std::vector<Call> expected = {
      {kApplicationWorkbooks, kGet, ""},
      {kWorkbooksAdd, kMethod, "-"},
      {kWorkbookWorksheets, kGet, ""},
      {kWorksheetsAdd, kMethod, "-,-,-,-"},
      {kWorksheetsItem, kGet, "sheet4"},
      {kWorksheetName, kPut, "Program"},
      {kWorksheetCells, kGet, ""},
      {kRangeItem, kPut, "1,2,*x"},
      {kWorksheetRange, kGet, "A1,B1"},
      {kRangeInterior, kGet, ""},
      {kInteriorColorIndex, kPut, "6"},
      {kWorksheetsItem, kGet, "sheet1"},
      {kWorksheetName, kPut, "IR_FP_Key"},
      {kWorksheetCells, kGet, ""},
      {kRangeItem, kPut, "1,1,Key"},
      {kRangeItem, kPut, "2,1,*k"},
      {kWorksheetName, kGet, ""},
      {kWorksheetRange, kGet, "A2,B2"},
      {kRangeInterior, kGet, ""},
      {kInteriorColorIndex, kPut, "6"},
      {kRangeItem, kPut, "3,1,P"},
      {kRangeItem, kPut, "3,2,0"},
      {kWorksheetsItem, kGet, "sheet2"},
      {kWorksheetName, kPut, "Sys_Config"},
      {kWorksheetCells, kGet, ""},
      {kWorksheetsItem, kGet, "sheet3"},
      {kWorksheetName, kPut, "File_Path"},
      {kWorksheetCells, kGet, ""},
      {kApplicationVisible, kPut, "true"},
      {kApplicationUserControl, kPut, "true"},
      {kWorkbookSaveAs, kMethod, path + ",-,-,-,-,-,0,-,-,-,-"},
  };
  EXPECT_EQ(calls(), expected);
}

TEST_F(Export, BatchExportSavesWhereToldAndOpensNothing) {
  FillModel();
  AddSamplePreset();
  RecordCalls();
  std::string path;
  ASSERT_EQ(Run(path, {Path("book.xls").string(), false}), 1);
  EXPECT_EQ(path, Path("book.xls").string());
  EXPECT_FALSE(std::filesystem::exists(Path("preset.xls")));
  EXPECT_EQ(ReadXlsFile(Path("book.xls")).sheets.size(), 4u);
  EXPECT_TRUE(Called(dispid::kWorkbookSaveAs, kMethod));
  EXPECT_FALSE(Called(dispid::kApplicationVisible, kPut));
  EXPECT_FALSE(Called(dispid::kApplicationUserControl, kPut));
}

TEST_F(Export, AFailingCallStopsTheExportWithItsError) {
  FillModel();
  std::string path;
  WorkbookExchange exchange = Exchange();
  EXPECT_THROW(ExportWorkbook(exchange, path, {Path("no folder/book.xls").string(), false}),
               AutomationError);
  EXPECT_FALSE(std::filesystem::exists(Path("no folder")));
}

TEST_F(Export, WithoutAPresetBlockTheSheetsAreWrittenWithoutHighlights) {
  FillModel();
  std::string path;
  ASSERT_EQ(Run(path), 1);
  EXPECT_EQ(messages_.shown(),
            (std::vector<std::pair<BoxCaption, std::string>>{
                {BoxCaption::Application, "ERROR!! can not find block[preset]in dmh!"},
                {BoxCaption::Application,
                 "The preset table gives no column count (the image has no table, or its table "
                 "has 0 columns), so rows are not highlighted."}}));
  const WorkbookData book = Saved();
  EXPECT_FALSE(book.sheets[0]->cells.UsedRect());
  EXPECT_EQ(TextAt(book, 1, 2, 1), u"*irkeys");
  EXPECT_TRUE(Filled(book, 1, 2).empty());
  EXPECT_TRUE(Filled(book, 2, 2).empty());
}

TEST_F(Export, AnUnpackingFailureHandsOverTheUnsavedWorkbook) {
  FillModel();
  AddSamplePreset();
  RecordCalls();
  testing::ScopedPath no_lzma(Path("nothing-here").string());
  std::string path;
  EXPECT_EQ(Run(path), 0);
  EXPECT_EQ(messages_.texts(), std::vector<std::string>{"error to open output file!"});
  ASSERT_GE(calls().size(), 2u);
  EXPECT_EQ(calls()[calls().size() - 2], (Call{dispid::kApplicationVisible, kPut, "true"}));
  EXPECT_EQ(calls().back(), (Call{dispid::kApplicationUserControl, kPut, "true"}));
  EXPECT_FALSE(Called(dispid::kWorkbookSaveAs, kMethod));
  EXPECT_FALSE(std::filesystem::exists(Path("preset.xls")));
}

TEST_F(Export, WithoutTheApplicationNothingIsWritten) {
  FillModel();
  UnregisterAutomationServer(kExcelProgId);
  std::string path;
  EXPECT_EQ(Run(path), 0);
  EXPECT_EQ(messages_.texts(),
            std::vector<std::string>{"Couldn't start Excel and get Application object."});
  EXPECT_EQ(path, DefaultWorkbookPath());
  EXPECT_FALSE(std::filesystem::exists(Path("preset.xls")));
}

TEST_F(Export, ATableOfFourteenBytesLeavesProgramEmptyButGivesTheWidth) {
  FillModel();
  AddPresetBlock(samples::PresetTableBytes(0, 3, {}));
  std::string path;
  ASSERT_EQ(Run(path), 1);
  const WorkbookData book = Saved();
  EXPECT_FALSE(book.sheets[0]->cells.UsedRect());
  EXPECT_EQ(Filled(book, 1, 2), Range(1, 3));
  EXPECT_TRUE(messages_.shown().empty());
}

TEST_F(Export, ATableWithoutColumnsHighlightsNothingAndSaysSoOnce) {
  FillModel();
  AddPresetBlock(samples::PresetTableBytes(1, 0, {{1, 1, u"*starred"}}));
  std::string path;
  ASSERT_EQ(Run(path), 1);
  const WorkbookData book = Saved();
  EXPECT_EQ(TextAt(book, 0, 1, 1), u"*starred");
  EXPECT_TRUE(Filled(book, 0, 1).empty());
  EXPECT_TRUE(Filled(book, 1, 2).empty());
  ASSERT_EQ(messages_.shown().size(), 1u);
  EXPECT_NE(messages_.texts()[0].find("rows are not highlighted"), std::string::npos);
}

TEST_F(Export, TablesBeyondTheSheetAreBoundedWithMessages) {
  // A count of 300 columns, a row running past column 256, and a text
  // without its end.
  std::vector<std::uint8_t> table = samples::PresetTableBytes(2, 300, {{1, 1, u"*wide"}});
  table.insert(table.end(), {0x80 | 126, 'a', 0, 0, 0});  // column 127
  for (int i = 0; i < 131; ++i)                           // columns 128 to 258
    table.insert(table.end(), {0x05, 'b', 0, 0, 0});
  table.insert(table.end(), {0x80, 'e', 0, 'n'});
  AddPresetBlock(table);
  std::string path;
  ASSERT_EQ(Run(path), 1);
  const WorkbookData book = Saved();
  EXPECT_EQ(Filled(book, 0, 1), Range(1, 256));
  EXPECT_EQ(TextAt(book, 0, 2, 256), u"b");
  EXPECT_EQ(TextAt(book, 0, 3, 1), u"e");
  EXPECT_EQ(messages_.texts(),
            (std::vector<std::string>{
                "The preset table claims 300 columns; rows are highlighted across the 256 a "
                "sheet has.",
                "2 cells of the preset table lie beyond the 65536 rows or 256 columns of a sheet "
                "and are not on the \"Program\" sheet.",
                "The preset table ends inside a cell text; the \"Program\" sheet shows that text "
                "as far as it goes."}));
}

TEST_F(Export, ABlockThatIsNotLzmaDataGivesAnEmptyProgramSheet) {
  FillModel();
  table_.records.push_back(MakeRecord(0x26, "preset", Bytes({1, 2, 3, 4, 5, 6, 7, 8, 9})));
  std::string path;
  ASSERT_EQ(Run(path), 1);
  EXPECT_FALSE(Saved().sheets[0]->cells.UsedRect());
}

}  // namespace
}  // namespace nuv::workbook
