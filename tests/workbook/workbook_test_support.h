#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "workbook/workbook_data.h"

namespace nuv::workbook::testing {

// A fresh folder per test (tests run as separate processes, in parallel),
// removed afterwards, its name beginning with `prefix`. The user's
// spreadsheet program is never started.
class WorkbookTest : public ::testing::Test {
 protected:
  explicit WorkbookTest(std::string prefix = "nuv_workbook_") : prefix_(std::move(prefix)) {}

  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ =
        std::filesystem::path(::testing::TempDir()) /
        (prefix_ + info->test_suite_name() + "_" + info->name() + "_" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    ::setenv("NUV_SPREADSHEET_APP", "", 1);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::filesystem::path Path(const std::string& name) const { return folder_ / name; }
  const std::filesystem::path& folder() const { return folder_; }

 private:
  std::string prefix_;
  std::filesystem::path folder_;
};

// Puts an environment variable back as it was when the object goes; the
// second constructor first sets it, or removes it for no value.
class ScopedEnv {
 public:
  explicit ScopedEnv(std::string name) : name_(std::move(name)) {
    if (const char* old = std::getenv(name_.c_str()))
      old_ = old;
  }
  ScopedEnv(std::string name, const std::optional<std::string>& value)
      : ScopedEnv(std::move(name)) {
    Set(value);
  }
  ~ScopedEnv() { Set(old_); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  void Set(const std::optional<std::string>& value) {
    if (value)
      ::setenv(name_.c_str(), value->c_str(), 1);
    else
      ::unsetenv(name_.c_str());
  }
  std::string name_;
  std::optional<std::string> old_;
};

inline std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteFile(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Runs a command line with /bin/sh; its exit status.
inline int Shell(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

inline std::string Quote(const std::filesystem::path& path) {
  return "'" + path.string() + "'";
}

constexpr const char* kPython = "/usr/bin/python3";
constexpr const char* kOffice = "/usr/bin/soffice";
// Skips the test when an independent program is not installed.
#define NUV_SKIP_WITHOUT(program)        \
  if (!std::filesystem::exists(program)) \
  GTEST_SKIP() << (program) << " is not installed (scripts/setup installs it)"

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
