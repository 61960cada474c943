#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "workbook/workbook_data.h"

namespace nuv::workbook::testing {

// A fresh folder per test (tests run as separate processes, in parallel),
// removed afterwards. The user's spreadsheet program is never started.
class WorkbookTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = std::filesystem::path(::testing::TempDir()) /
              (std::string("nuv_workbook_") + info->test_suite_name() + "_" + info->name() + "_" +
               std::to_string(::getpid()));
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    ::setenv("NUV_SPREADSHEET_APP", "", 1);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::filesystem::path Path(const std::string& name) const { return folder_ / name; }
  const std::filesystem::path& folder() const { return folder_; }

 private:
  std::filesystem::path folder_;
};

inline std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

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
