// The workbook export: its steps, the layout of every sheet, the
// highlighting and its failures, seen through the saved file and through
// the automation calls made.
#include "exchange/export_workbook.h"

#include <gtest/gtest.h>

#include "exchange_test_support.h"
#include "platform/errors.h"
#include "sample_preset.h"
#include "workbook/cell_listing.h"
#include "workbook/excel_dispids.h"
#include "workbook/xls_file.h"

namespace nuv::exchange {
namespace {

using namespace testing;  // the exchange helpers and the workbook layer

constexpr auto kPut = InvokeKind::PropertyPut;
constexpr auto kMethod = InvokeKind::Method;
using Shown = std::vector<std::pair<BoxCaption, std::string>>;

// The listing lines of a row's highlight, from `from` to `to`.
std::string Fills(const std::string& sheet, int row, int from, int to) {
  std::string out;
  for (int c = from; c <= to; ++c)
    out += sheet + "\t" + std::to_string(row) + "\t" + std::to_string(c) + "\tfill\t6\n";
  return out;
}

// Each test starts from this model, with the sample preset table (5
// columns: the width of highlighted rows) and the calls recorded. sheet2:
// two blocks of three items (the first with descriptions); sheet3: a value
// with its top bit set and an item of an unknown type; sheet4: a file block
// and a hardware-info block.
class Export : public testing::ExchangeTest {
 protected:
  void SetUp() override {
    ExchangeTest::SetUp();
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

    const std::vector<std::uint8_t> table = samples::PresetTableBytes(
        samples::kSamplePresetRows, samples::kSamplePresetColumns, samples::SamplePresetCells());
    table_.records.push_back(MakeRecord(0x26, "preset", samples::LzmaAloneCompress(table)));
    RecordCalls();
  }

  // Exports; path_ is the workbook's path afterwards.
  ExportResult Run(ExportOptions options = {}) {
    WorkbookExchange exchange = Exchange();
    ExportOutcome outcome = ExportWorkbook(exchange, options);
    path_ = std::move(outcome.workbook_path);
    return outcome.result;
  }
  // The saved workbook's listing; only sheet `only` of it if given.
  std::string Saved(int only = -1) {
    WorkbookData book = ReadXlsFile(Path("preset.xls"));
    EXPECT_EQ(book.active, 0u);  // "Program", added last, is the active sheet
    if (only >= 0)
      book.sheets = {book.sheets.at(static_cast<std::size_t>(only))};
    return ListWorkbook(book);
  }

  std::string path_;
};

TEST_F(Export, EverySheetIsLaidOutInTheCurrentDirectorysWorkbook) {
  ASSERT_EQ(Run(), ExportResult::kSaved);
  // The application is handed to the user before the workbook is saved.
  ASSERT_GE(calls().size(), 3u);
  EXPECT_EQ(
      std::vector<Call>(calls().end() - 3, calls().end()),
      (std::vector<Call>{{dispid::kApplicationVisible, kPut, "true"},
                         {dispid::kApplicationUserControl, kPut, "true"},
                         {dispid::kWorkbookSaveAs, kMethod, path_ + ",-,-,-,-,-,0,-,-,-,-"}}));
  EXPECT_EQ(path_, Path("preset.xls").string());
  EXPECT_TRUE(messages_.shown().empty()) << messages_.texts().front();
  // "Program": the preset table, numbers as texts, starred rows
  // highlighted. Within a row a cell follows the previous one ("Locked",
  // stored from E after the empty D, comes back in D), and the empty
  // fourth row left no trace.
  // IR_FP_Key: a number item leaves C and D empty, a range item has its
  // bounds (as unsigned 32-bit numbers), em 0 has no descriptions.
  // Sys_Config: a value with its top bit set is a large positive number; an
  // item of another type has only its name and its description in D.
  // File_Path: block rows only, and no highlight.
  EXPECT_EQ(
      Saved(),
      "Program\t\t\tsheet\t\nProgram\t1\t1\ttext\t*Favourites\n" + Fills("Program", 1, 1, 5) +
          "Program\t2\t1\ttext\tNo\nProgram\t2\t2\ttext\tName\n"
          "Program\t2\t3\ttext\tFrequency\nProgram\t2\t4\ttext\tLocked\n"
          "Program\t3\t1\ttext\t1\nProgram\t3\t2\ttext\tКанал 1\n"
          "Program\t3\t3\ttext\t11778\nProgram\t3\t4\ttext\t0\n"
          "Program\t4\t1\ttext\t2\nProgram\t4\t2\ttext\t日本のチャンネル\n"
          "Program\t4\t3\ttext\t12188\nProgram\t5\t2\ttext\tΩmega \U0001F4FA\n"
          "IR_FP_Key\t\t\tsheet\t\nIR_FP_Key\t1\t1\ttext\tKey\nIR_FP_Key\t1\t2\ttext\tCode\n"
          "IR_FP_Key\t1\t3\ttext\tMin\nIR_FP_Key\t1\t4\ttext\tMax\n"
          "IR_FP_Key\t1\t5\ttext\tDescription\nIR_FP_Key\t2\t1\ttext\t*irkeys\n" +
          Fills("IR_FP_Key", 2, 1, 5) +
          "IR_FP_Key\t3\t1\ttext\tPower\nIR_FP_Key\t3\t2\tnumber\t12\n"
          "IR_FP_Key\t3\t5\ttext\tPower key\nIR_FP_Key\t4\t1\ttext\tLabel\n"
          "IR_FP_Key\t4\t2\ttext\tMENU\nIR_FP_Key\t4\t5\ttext\tLabel text\n"
          "IR_FP_Key\t5\t1\ttext\tCustom\nIR_FP_Key\t5\t2\tnumber\t2748\n"
          "IR_FP_Key\t5\t3\tnumber\t0\nIR_FP_Key\t5\t4\tnumber\t4095\n"
          "IR_FP_Key\t5\t5\ttext\tCustom code\nIR_FP_Key\t6\t1\ttext\t*front\n" +
          Fills("IR_FP_Key", 6, 1, 5) +
          "IR_FP_Key\t7\t1\ttext\tUp\nIR_FP_Key\t7\t2\tnumber\t0\n"
          "IR_FP_Key\t8\t1\ttext\tDown\nIR_FP_Key\t8\t2\tnumber\t3\n"
          "IR_FP_Key\t9\t1\ttext\tNeg\nIR_FP_Key\t9\t2\tnumber\t0\n"
          "IR_FP_Key\t9\t3\tnumber\t4294967291\nIR_FP_Key\t9\t4\tnumber\t4294967295\n"
          "Sys_Config\t\t\tsheet\t\nSys_Config\t1\t1\ttext\tItem\n"
          "Sys_Config\t1\t2\ttext\tValue\nSys_Config\t2\t1\ttext\t*sysconf\n" +
          Fills("Sys_Config", 2, 1, 5) +
          "Sys_Config\t3\t1\ttext\tSerial\nSys_Config\t3\t2\tnumber\t1.7293822569102705e+19\n"
          "Sys_Config\t3\t5\ttext\tSerial number\nSys_Config\t4\t1\ttext\tOdd\n"
          "Sys_Config\t4\t4\ttext\tKept as text\n"
          "File_Path\t\t\tsheet\t\nFile_Path\t1\t1\ttext\tBlock\nFile_Path\t1\t2\ttext\tFile\n"
          "File_Path\t2\t1\ttext\t*logo\nFile_Path\t3\t1\ttext\t*hwinfo\n");
}

TEST_F(Export, BatchExportSavesWhereToldOpensNothingAndStopsAtAFailingCall) {
  ASSERT_EQ(Run({Path("book.xls").string(), false}), ExportResult::kSaved);
  EXPECT_EQ(path_, Path("book.xls").string());
  EXPECT_FALSE(std::filesystem::exists(Path("preset.xls")));
  EXPECT_EQ(ReadXlsFile(Path("book.xls")).sheets.size(), 4u);
  EXPECT_TRUE(Called(dispid::kWorkbookSaveAs));
  EXPECT_FALSE(Called(dispid::kApplicationVisible));
  EXPECT_FALSE(Called(dispid::kApplicationUserControl));
  // Saving into a folder that is not there fails, and makes none.
  EXPECT_THROW(static_cast<void>(Run({Path("no folder/book.xls").string(), false})),
               AutomationError);
  EXPECT_FALSE(std::filesystem::exists(Path("no folder")));
}

// (No "preset" block at all is seen through the UI scripts and the CLI.)
TEST_F(Export, PresetTablesOfNoWidthOrBeyondASheetAreBoundedAndSaySo) {
  const std::string no_width =
      "The preset table gives no column count (the image has no table, or its table has 0 "
      "columns), so rows are not highlighted.";
  // A count of 300 columns, a row running past column 256, and a text
  // without its end.
  std::vector<std::uint8_t> wide = samples::PresetTableBytes(2, 300, {{1, 1, u"*wide"}});
  std::string program =
      "Program\t1\t1\ttext\t*wide\n" + Fills("Program", 1, 1, 256) + "Program\t2\t127\ttext\ta\n";
  wide.insert(wide.end(), {0x80 | 126, 'a', 0, 0, 0});  // column 127
  for (int column = 128; column <= 258; ++column) {
    wide.insert(wide.end(), {0x05, 'b', 0, 0, 0});
    if (column <= 256)
      program += "Program\t2\t" + std::to_string(column) + "\ttext\tb\n";
  }
  wide.insert(wide.end(), {0x80, 'e', 0, 'n'});
  program += "Program\t3\t1\ttext\te\n";
  struct Case {
    const char* what;
    std::vector<std::uint8_t> block;  // packed
    std::string program;              // the "Program" sheet's cells
    int highlighted;                  // columns of IR_FP_Key's block rows
    std::vector<std::string> messages;
  } cases[] = {
      {"a table of 14 bytes as wide as a sheet",
       samples::LzmaAloneCompress(samples::PresetTableBytes(0, 256, {})),
       "",
       256,
       {}},
      {"a table of 0 columns",
       samples::LzmaAloneCompress(samples::PresetTableBytes(1, 0, {{1, 1, u"*starred"}})),
       "Program\t1\t1\ttext\t*starred\n",
       0,
       {no_width}},
      {"a table wider than a sheet",
       samples::LzmaAloneCompress(wide),
       program,
       256,
       {"The preset table claims 300 columns; rows are highlighted across the 256 a sheet has.",
        "2 cells of the preset table lie beyond the 65536 rows or 256 columns of a sheet and are "
        "not on the \"Program\" sheet.",
        "The preset table ends inside a cell text; the \"Program\" sheet shows that text as far as "
        "it goes."}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    table_.records.clear();
    messages_.clear();
    table_.records.push_back(MakeRecord(0x26, "preset", c.block));
    std::filesystem::remove(Path("preset.xls"));  // else the application asks first
    ASSERT_EQ(Run(), ExportResult::kSaved);
    EXPECT_EQ(messages_.texts(), c.messages);
    for (const auto& [caption, text] : messages_.shown())
      EXPECT_EQ(caption, BoxCaption::Application) << text;
    EXPECT_EQ(Saved(0), "Program\t\t\tsheet\t\n" + c.program);
    const std::string keys = Saved(1);
    EXPECT_NE(keys.find("IR_FP_Key\t2\t1\ttext\t*irkeys\n" +
                        Fills("IR_FP_Key", 2, 1, c.highlighted) + "IR_FP_Key\t3\t"),
              std::string::npos)
        << keys;
  }
}

TEST_F(Export, AnUnpackingFailureHandsOverTheUnsavedWorkbook) {
  testing::ScopedEnv no_lzma("PATH", Path("nothing-here").string());
  EXPECT_EQ(Run(), ExportResult::kNotSaved);
  ASSERT_EQ(messages_.texts().size(), 2u);
  EXPECT_EQ(messages_.texts()[0], "error to open output file!");
  ASSERT_GE(calls().size(), 2u);
  EXPECT_EQ(calls()[calls().size() - 2], (Call{dispid::kApplicationVisible, kPut, "true"}));
  EXPECT_EQ(calls().back(), (Call{dispid::kApplicationUserControl, kPut, "true"}));
  EXPECT_FALSE(Called(dispid::kWorkbookSaveAs));
  EXPECT_FALSE(std::filesystem::exists(Path("preset.xls")));
}

// A code page that cannot read the texts stops the export before it starts.
TEST_F(Export, WithoutTheApplicationOrAUsableCodePageNothingIsWritten) {
  model_.sheet3.blocks[0].items[1].name = "Lautst\xE4rke";
  const std::pair<const char*, std::string> cases[] = {
      {"65001",
       "The name of item [Lautst\\xE4rke] of block [sysconf] is no text of code page 65001 "
       "(NUV_CODEPAGE chooses the code page), so no workbook was written."},
      {"1259",
       "NUV_CODEPAGE is \"1259\", which is not the number of a code page this tool converts texts "
       "with: it takes 1252, 936, 932, 949, 950, 1250 to 1258 or 65001 (UTF-8), and 1252 when it "
       "is not set. No workbook was written."}};
  for (const auto& [code_page, message] : cases) {
    testing::ScopedEnv env("NUV_CODEPAGE", code_page);
    messages_.clear();
    EXPECT_EQ(Run(), ExportResult::kNotSaved);
    EXPECT_EQ(messages_.texts(), std::vector<std::string>{message});
  }
  EXPECT_TRUE(calls().empty());
  UnregisterAutomationServer(kExcelProgId);
  messages_.clear();
  EXPECT_EQ(Run(), ExportResult::kNotSaved);
  EXPECT_EQ(messages_.shown(),
            (Shown{{BoxCaption::Application, "Couldn't start Excel and get Application object."}}));
  EXPECT_EQ(path_, DefaultWorkbookPath());
  EXPECT_FALSE(std::filesystem::exists(Path("preset.xls")));
}

}  // namespace
}  // namespace nuv::exchange
