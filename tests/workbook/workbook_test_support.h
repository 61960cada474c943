#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "support/messages.h"
#include "test_files.h"
#include "workbook/automation_registry.h"
#include "workbook/excel_operations.h"
#include "workbook/workbook_data.h"

namespace nuv::workbook::testing {

// A fresh folder per test, named `name` inside a temporary folder. The
// user's spreadsheet program is never started: "Excel.Application" is the
// stand-in, in process (on Windows too, where it would otherwise be reached
// by COM).
class WorkbookTest : public ::testing::Test {
 protected:
  explicit WorkbookTest(std::string_view name = "workbook") : folder_(temp_ / name) {}

  void SetUp() override {
    std::filesystem::create_directories(folder_);
    RegisterStandInSpreadsheet();
  }

  std::filesystem::path Path(const std::string& name) const { return folder_ / name; }
  const std::filesystem::path& folder() const { return folder_; }

 private:
  nuv::test::TempFolder temp_;
  std::filesystem::path folder_;
  nuv::test::ScopedEnv no_spreadsheet_app_{"NUV_SPREADSHEET_APP", ""};
};

// The message of the automation error that `call` raises, "" if none.
template <typename Call>
std::string AutomationErrorOf(Call call) {
  try {
    call();
  } catch (const AutomationError& e) {
    return e.what();
  }
  return "";
}

// A started stand-in application with a new workbook of three sheets.
class StandInTest : public WorkbookTest {
 protected:
  void SetUp() override {
    WorkbookTest::SetUp();
    ASSERT_EQ(StartExcel(app_, messages_), StartResult::kStarted);
    books_.AttachDispatch(app_.GetWorkbooks());
    NewBook();
  }
  void NewBook() {
    book_.AttachDispatch(books_.Add(MissingArgument()));
    sheets_.AttachDispatch(book_.GetWorksheets());
  }

  RecordedMessages messages_;
  ExcelApplication app_;
  ExcelWorkbooks books_;
  ExcelWorkbook book_;
  ExcelWorksheets sheets_;
};

using nuv::test::Quote;
using nuv::test::ReadBytes;
using nuv::test::ReadText;
using nuv::test::ScopedEnv;
using nuv::test::Shell;
using nuv::test::WriteFile;

constexpr const char* kPython = "/usr/bin/python3";
constexpr const char* kOffice = "/usr/bin/soffice";
// Skips the test when an independent program is not installed.
#define NUV_SKIP_WITHOUT(program)        \
  if (!std::filesystem::exists(program)) \
  GTEST_SKIP() << (program) << " is not installed (scripts/setup installs it)"

// Converts `files` to .xls with LibreOffice into `folder`/office (the result
// of a file is office/STEM.xls), with a private profile in `folder` so that
// parallel runs do not meet.
inline void OfficeToXls(const std::vector<std::filesystem::path>& files,
                        const std::filesystem::path& folder) {
  std::string names;
  for (const std::filesystem::path& file : files)
    names += " " + Quote(file);
  EXPECT_EQ(Shell(std::string(kOffice) + " -env:UserInstallation=file://" +
                  (folder / "profile").string() + " --headless --convert-to xls --outdir " +
                  Quote(folder / "office") + names + " > /dev/null 2>&1"),
            0);
}

#ifdef NUV_WORKBOOK_SCRIPTS
// What xlrd (an independent reader) lists for an .xls file, in the line
// format of `nuv xls dump`; `scratch` takes the output.
inline std::string XlrdListing(const std::filesystem::path& file,
                               const std::filesystem::path& scratch) {
  EXPECT_EQ(Shell(std::string(kPython) + " " +
                  Quote(std::filesystem::path(NUV_WORKBOOK_SCRIPTS) / "xlrd_dump.py") + " " +
                  Quote(file) + " > " + Quote(scratch)),
            0);
  return ReadText(scratch);
}
#endif

// A workbook built in memory, sheet by sheet.
class BookBuilder {
 public:
  BookBuilder& Sheet(std::u16string name) {
    book_.sheets.push_back(std::make_shared<SheetData>());
    book_.sheets.back()->name = std::move(name);
    return *this;
  }
  BookBuilder& Set(std::uint32_t row, std::uint32_t column, Variant value, std::uint8_t fill = 0,
                   bool formula = false) {
    Cell& cell = book_.sheets.back()->cells.At(row, column);
    cell.value = std::move(value);
    cell.fill = fill;
    cell.formula = formula;
    return *this;
  }
  WorkbookData Build() { return std::move(book_); }

 private:
  WorkbookData book_;
};

}  // namespace nuv::workbook::testing
