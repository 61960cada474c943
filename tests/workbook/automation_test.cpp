// The automation layer over the stand-in application: starting it, the
// handles, the helper operations, and how failures surface. (Reading a
// sheet's used cells from A1, and closing, are seen through the import.)
#include <gtest/gtest.h>

#include <vector>

#include "platform/errors.h"
#include "support/messages.h"
#include "workbook/automation_registry.h"
#include "workbook/excel_operations.h"
#include "workbook_test_support.h"

namespace nuv::workbook {
namespace {

using testing::WorkbookTest;

TEST(FormatCellName, NamesColumnsUpToZZAndNothingBeyond) {
  struct Case {
    std::uint32_t column, row;
    const char* name;
  } cases[] = {{1, 1, "A1"},    {25, 7, "Y7"},          {26, 3, "Z3"},  {27, 3, "AA3"},
               {51, 4, "AY4"},  {52, 10, "AZ10"},       {53, 2, "BA2"}, {78, 2, "BZ2"},
               {702, 1, "ZZ1"}, {256, 65536, "IV65536"}};
  for (const Case& c : cases)
    EXPECT_EQ(FormatCellName(c.column, c.row), c.name) << c.column;
  EXPECT_EQ(FormatCellName(0, 5), std::nullopt);
  EXPECT_EQ(FormatCellName(5, 0), std::nullopt);
  EXPECT_EQ(FormatCellName(703, 1), std::nullopt);
}

class Automation : public WorkbookTest {
 protected:
  void SetUp() override {
    WorkbookTest::SetUp();
    ASSERT_EQ(StartExcel(app_, messages_), StartResult::kStarted);
    books_.AttachDispatch(app_.GetWorkbooks());
    book_.AttachDispatch(books_.Add(MissingArgument()));
    sheets_.AttachDispatch(book_.GetWorksheets());
  }

  RecordedMessages messages_;
  ExcelApplication app_;
  ExcelWorkbooks books_;
  ExcelWorkbook book_;
  ExcelWorksheets sheets_;
};

// (The order of the positions probed is seen through the import.)
TEST_F(Automation, FindSheetByNameComparesExactlyAndFailsPastTheLastSheet) {
  ExcelWorksheet sheet(sheets_.GetItem(Variant::I2(3)));
  sheet.SetName("File_Path");
  try {
    FindSheetByName(sheets_, "file_path", 3, sheet);  // the lookup is case-sensitive
    FAIL() << "found a sheet";
  } catch (const AutomationError& e) {
    EXPECT_STREQ(e.what(), "The workbook has no sheet named \"file_path\".");
  }
}

TEST_F(Automation, HandlesReleaseWhatTheyHold) {
  std::weak_ptr<Dispatch> sheet_object;
  {
    ExcelWorksheet sheet(sheets_.GetItem(Variant::I2(1)));
    sheet_object = sheet.object();
    EXPECT_FALSE(sheet_object.expired());
    // Refilling the handle releases the first sheet object.
    sheet.AttachDispatch(sheets_.GetItem(Variant::I2(2)));
    EXPECT_TRUE(sheet_object.expired());
    sheet_object = sheet.object();
  }
  EXPECT_TRUE(sheet_object.expired());
  std::weak_ptr<Dispatch> app_object = app_.object();
  sheets_.ReleaseDispatch();
  book_.ReleaseDispatch();
  books_.ReleaseDispatch();
  app_.ReleaseDispatch();
  EXPECT_TRUE(app_object.expired());
  EXPECT_THROW(app_.GetWorkbooks(), AutomationError);  // an empty handle
}

TEST(StartExcel, EachStartIsANewInstance) {
  RegisterStandInSpreadsheet();
  RecordedMessages messages;
  ExcelApplication first, second;
  ASSERT_EQ(StartExcel(first, messages), StartResult::kStarted);
  ASSERT_EQ(StartExcel(second, messages), StartResult::kStarted);
  EXPECT_NE(first.object(), second.object());
  first.Quit();
  ExcelWorkbooks books(second.GetWorkbooks());  // the second one still answers
  EXPECT_FALSE(books.empty());
}

// (No server registered at all is seen through the export.)
TEST(StartExcel, AServerThatRefusesCountsAsNotStarted) {
  RegisterAutomationServer(std::string(kExcelProgId), [] { return DispatchRef(); });
  RecordedMessages messages;
  ExcelApplication app;
  EXPECT_EQ(StartExcel(app, messages), StartResult::kNotStarted);
  EXPECT_TRUE(app.empty());
  EXPECT_EQ(messages.texts(), std::vector<std::string>{std::string(kCannotStartExcel)});
  RegisterStandInSpreadsheet();
}

}  // namespace
}  // namespace nuv::workbook
