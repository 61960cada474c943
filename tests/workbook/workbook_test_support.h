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

using nuv::test::Quote;
using nuv::test::ReadBytes;
using nuv::test::ReadText;
using nuv::test::ScopedEnv;
using nuv::test::Shell;
using nuv::test::WriteFile;

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
