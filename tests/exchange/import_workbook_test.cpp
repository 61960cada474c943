// The import of a whole workbook through the stand-in spreadsheet
// application: sheet order and probing, results, messages, the changes
// kept after a failure, and closing on every normal return.
#include "exchange/import_workbook.h"

#include <gtest/gtest.h>

#include "exchange/preset_packing.h"
#include "exchange/preset_table.h"
#include "exchange_test_support.h"
#include "platform/errors.h"
#include "sample_preset.h"
#include "workbook/excel_dispids.h"
#include "workbook/xls_file.h"

namespace nuv::exchange {
namespace {

using namespace testing;  // the exchange helpers and the workbook layer
using enum ImportResult;

// Each test starts from the workbook as the export lays it out, with edited
// values, and records the calls.
class Import : public testing::ExchangeTest {
 protected:
  void SetUp() override {
    ExchangeTest::SetUp();
    table_.records.push_back(MakeRecord(0x26, "preset", Bytes({0xAA, 0xBB})));
    table_.records.push_back(MakeRecord(0x22, "irkeys", Bytes({0x01, 0x02})));
    table_.records.push_back(MakeRecord(0x21, "sysconf", Bytes({0x00, 0x00, 0x00, 0x00})));
    table_.records.push_back(MakeRecord(0x24, "logo", Bytes({9, 9})));
    model_.sheet2.blocks = {
        Block("irkeys", 0x22, 0, 0, {Item("Power", 0, 0, 8), Item("Volume", 2, 8, 8, 0, 100)})};
    model_.sheet3.blocks = {Block("sysconf", 0x21, 1, 0, {Item("Name", 1, 0, 0)})};
    model_.sheet4.blocks = {Block("logo", 0x24, 0, 3, {})};
    testing::WriteFile(Path("logo.bin"), "LOGO");
    Write({{u"Program", {{T("*Group"), N(7)}, {T("a"), T("Ω")}}},
           {u"IR_FP_Key",
            {{T("Key"), T("Code")}, {T("*irkeys")}, {T("Power"), N(0x0C)}, {T("Volume"), N(50)}}},
           {u"Sys_Config", {{T("Item")}, {T("*sysconf")}, {T("Name"), T("Hi")}}},
           {u"File_Path", {{T("Block"), T("File")}, {T("*logo"), T(Path("logo.bin").string())}}}});
    RecordCalls();
  }

  // Writes a workbook of the given sheets (name, rows from A1).
  void Write(const std::vector<std::pair<std::u16string, Rows>>& sheets) {
    BookBuilder book;
    for (const auto& [name, rows] : sheets) {
      book.Sheet(name);
      for (std::uint32_t r = 0; r < rows.size(); ++r)
        for (std::uint32_t c = 0; c < rows[r].size(); ++c)
          if (!rows[r][c].IsEmpty())
            book.Set(r + 1, c + 1, rows[r][c]);
    }
    WriteXlsFile(Path("preset.xls"), book.Build());
  }
  ImportResult Run() {
    WorkbookExchange exchange = Exchange();
    return ImportWorkbook(exchange, DefaultWorkbookPath());
  }
  std::vector<std::uint8_t> Data(std::size_t k) const { return testing::BlockBytes(table_, k); }
  bool ClosedAndQuit() const {
    const auto& log = calls();
    return log.size() >= 2 &&
           log[log.size() - 2] == Call{dispid::kWorkbookClose, InvokeKind::Method, "0,-,-"} &&
           log.back() == Call{dispid::kApplicationQuit, InvokeKind::Method, ""};
  }
};

TEST_F(Import, AllFourSheetsGoIntoTheBlocksWithTheWorkbookClosedUnsaved) {
  const auto before = std::filesystem::last_write_time(Path("preset.xls"));
  ASSERT_EQ(Run(), kImported);
  EXPECT_TRUE(messages_.shown().empty()) << messages_.texts().front();
  // "Program" became the packed preset table.
  WorkbookExchange exchange = Exchange();
  const std::optional<std::vector<std::uint8_t>> stream = UnpackPreset(exchange, Data(0));
  ASSERT_TRUE(stream);
  const PresetTable table = ReadPresetTable(*stream);
  EXPECT_EQ(table.columns, 2);
  ASSERT_EQ(table.cells.size(), 4u);
  EXPECT_EQ(table.cells[1].text, u"7");
  EXPECT_EQ(table.cells[3].text, u"Ω");
  EXPECT_EQ(table_.records[0].entry.size(), table_.records[0].data.size());
  EXPECT_EQ(Data(1), Bytes({0x0C, 50}));
  EXPECT_EQ(Data(2), Bytes({0x00, 'H', 'i', 0x00}));
  EXPECT_EQ(Data(3), Bytes({'L', 'O', 'G', 'O'}));
  EXPECT_EQ(model_.sheet2.blocks[0].items[1].number_value, 50u);
  EXPECT_TRUE(ClosedAndQuit());
  // Each sheet is found from its first position; "File_Path" starts at
  // position 3 and walks up again from 1.
  EXPECT_EQ(Args(dispid::kWorksheetsItem),
            (std::vector<std::string>{"1", "2", "3", "3", "1", "2", "3", "4"}));
  // The application stays invisible.
  EXPECT_EQ(calls()[0], (Call{dispid::kApplicationWorkbooks, InvokeKind::PropertyGet, ""}));
  EXPECT_EQ(calls()[1].member, dispid::kWorkbooksOpen);
  EXPECT_EQ(calls()[1].args, DefaultWorkbookPath() + ",-,-,-,-,-,-,-,-,-,-,-,-,-,-");
  EXPECT_FALSE(Called(dispid::kApplicationVisible) || Called(dispid::kWorkbookSaveAs));
  EXPECT_EQ(std::filesystem::last_write_time(Path("preset.xls")), before);
}

TEST_F(Import, AMissingWorkbookOrSheetIsAnAutomationErrorAndNothingIsClosed) {
  std::filesystem::remove(Path("preset.xls"));
  EXPECT_THROW(static_cast<void>(Run()), AutomationError);
  Write(
      {{u"Program", {}}, {u"IR_FP_Key", {{T("*irkeys")}, {T("Power"), N(3)}}}, {u"File_Path", {}}});
  EXPECT_THROW(static_cast<void>(Run()), AutomationError);
  // "IR_FP_Key" was applied before "Sys_Config" was looked for.
  EXPECT_EQ(Data(1), Bytes({0x03, 0x02}));
  EXPECT_FALSE(Called(dispid::kWorkbookClose) || Called(dispid::kApplicationQuit));
}

TEST_F(Import, ABlockTheImageLacksFailsAfterTheEarlierSheetsWereApplied) {
  model_.sheet3.blocks[0].block_id = 0x7E;
  EXPECT_EQ(Run(), kFailed);
  EXPECT_EQ(messages_.texts(),
            std::vector<std::string>{"ERROR!! can not find block [sysconf] id[0x7e]in dmh!"});
  EXPECT_EQ(Data(1), Bytes({0x0C, 50}));
  EXPECT_NE(Data(0), Bytes({0xAA, 0xBB}));  // the preset table was stored
  EXPECT_EQ(Data(3), Bytes({9, 9}));        // "File_Path" was not reached
  EXPECT_TRUE(ClosedAndQuit());
}

TEST_F(Import, SheetsOfOneCellAreSkippedUnread) {
  Write({{u"Program", {{T("only")}}},
         {u"IR_FP_Key", {{T("*irkeys")}}},
         {u"Sys_Config", {}},
         {u"File_Path", {{T("x")}}}});
  ASSERT_EQ(Run(), kImported);
  EXPECT_EQ(Data(0), Bytes({0xAA, 0xBB}));
  EXPECT_FALSE(std::filesystem::exists(Path("work/npreset")));
  EXPECT_TRUE(messages_.shown().empty());
}

TEST_F(Import, APackingFailureLeavesThePresetBlockAndTheImportGoesOn) {
  testing::ScopedEnv no_lzma("PATH", Path("nothing-here").string());
  ASSERT_EQ(Run(), kImported);
  ASSERT_EQ(messages_.texts().size(), 2u);
  EXPECT_EQ(messages_.texts()[0], "error to open output file!");
  EXPECT_EQ(Data(0), Bytes({0xAA, 0xBB}));
  EXPECT_EQ(table_.records[0].entry.size(), 2u);
  EXPECT_EQ(Data(1), Bytes({0x0C, 50}));
}

TEST_F(Import, WithoutAPresetBlockTheTableIsPackedButKeptNowhere) {
  table_.records.erase(table_.records.begin());
  ASSERT_EQ(Run(), kImported);
  EXPECT_EQ(messages_.texts(),
            std::vector<std::string>{"ERROR!! can not find block[preset]in dmh!"});
  EXPECT_TRUE(std::filesystem::exists(Path("work/npreset.7z")));
  EXPECT_EQ(Data(0), Bytes({0x0C, 50}));
}

TEST_F(Import, WithoutTheApplicationOrAKnownCodePageTheImportFails) {
  {
    testing::ScopedEnv env("NUV_CODEPAGE", "latin1");
    EXPECT_EQ(Run(), kFailed);
  }
  UnregisterAutomationServer(kExcelProgId);
  EXPECT_EQ(Run(), kFailed);
  EXPECT_EQ(messages_.texts(),
            (std::vector<std::string>{
                "NUV_CODEPAGE is \"latin1\", which is not the number of a code page this tool "
                "converts texts with: it takes 1252, 936, 932, 949, 950, 1250 to 1258 or 65001 "
                "(UTF-8), and 1252 when it is not set. Nothing was read from the workbook.",
                "Couldn't start Excel and get Application object."}));
  EXPECT_EQ(Data(1), Bytes({0x01, 0x02}));
}

TEST_F(Import, ATallProgramSheetIsRefusedAndFarCellsElsewhereCostNothing) {
  WorkbookData book = ReadXlsFile(Path("preset.xls"));
  book.sheets[0]->cells.At(65536, 1).value = T("bottom");
  book.sheets[1]->cells.At(65536, 256).value = T("far away");
  WriteXlsFile(Path("preset.xls"), book);
  ASSERT_EQ(Run(), kImported);
  EXPECT_EQ(messages_.texts(),
            std::vector<std::string>{"The \"Program\" sheet uses 65536 rows and 2 columns, more "
                                     "than the preset table can count (65535); the \"preset\" "
                                     "block was left as it was."});
  EXPECT_EQ(Data(0), Bytes({0xAA, 0xBB}));
  EXPECT_EQ(Data(1), Bytes({0x0C, 50}));
  // Only "IR_FP_Key" was read, in columns A and B.
  EXPECT_EQ(Args(dispid::kWorksheetRange),
            (std::vector<std::string>{"A1,B65536", "A1,B3", "A1,B2"}));
}

TEST_F(Import, SheetsAreFoundWhereverTheyStand) {
  Write({{u"File_Path", {{T("*logo"), T(Path("logo.bin").string())}}},
         {u"Sys_Config", {{T("*sysconf")}, {T("Name"), T("Hi")}}},
         {u"Extra", {}},
         {u"IR_FP_Key", {{T("*irkeys")}, {T("Power"), N(0x0C)}}},
         {u"Program", {}}});
  ASSERT_EQ(Run(), kImported);
  EXPECT_EQ(Data(1), Bytes({0x0C, 0x02}));
  EXPECT_EQ(Data(3), Bytes({'L', 'O', 'G', 'O'}));
  EXPECT_EQ(Args(dispid::kWorksheetsItem),
            (std::vector<std::string>{"1", "1", "2", "3", "4", "5",  // Program
                                      "2", "1", "2", "3", "4",       // IR_FP_Key
                                      "3", "1", "2",                 // Sys_Config
                                      "3", "1"}));                   // File_Path
}

}  // namespace
}  // namespace nuv::exchange
