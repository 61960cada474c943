// Save New Flash up to the import, where the New Format dialog and `nuv
// build` differ: when the attempt begins and whether the workbook goes.
// A whole Save, its layout and its messages are the newfmt_* UI scripts.
#include "exchange/save_new_flash.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "exchange_test_support.h"

namespace nuv::exchange {
namespace {

using namespace workbook;
using enum SaveNewFlashResult;

class SaveNewFlashTest : public testing::ExchangeTest {
 protected:
  SaveNewFlashResult Save(const std::string& output, const std::string& workbook,
                          bool remove_workbook = true) {
    return SaveNewFlash(flash_, session_,
                        {output, workbook, remove_workbook, [this] { ++attempts_; }}, messages_);
  }
  std::string Name(const std::string& name) const { return Path(name).string(); }

  image::FlashImage flash_;
  NewFormatSession session_;
  int attempts_ = 0;
};

TEST_F(SaveNewFlashTest, WithoutAnOutputOrAReadableWorkbookNoAttemptBegins) {
  testing::WriteFile(Path("book.xls"), "x");
  std::filesystem::create_directories(Path("folder.xls"));
  EXPECT_EQ(Save("", Name("book.xls")), kNoOutputPath);
  EXPECT_EQ(Save(Name("new.bin"), Name("missing.xls")), kNoWorkbook);
  EXPECT_EQ(Save(Name("new.bin"), Name("folder.xls")), kNoWorkbook);
  EXPECT_EQ(messages_.texts(),
            (std::vector<std::string>{"Please select output file!", "error open excel  file ",
                                      "error open excel  file "}));
  EXPECT_EQ(attempts_, 0);
  EXPECT_TRUE(std::filesystem::exists(Path("book.xls")));
  EXPECT_FALSE(std::filesystem::exists(Path("new.bin")));
}

TEST_F(SaveNewFlashTest, AFailedImportIsAnAttemptAndTheWorkbookGoesOnlyWhenAsked) {
  testing::WriteFile(Path("book.xls"), "x");
  UnregisterAutomationServer(kExcelProgId);
  EXPECT_EQ(Save(Name("new.bin"), Name("book.xls"), false), kNotImported);
  EXPECT_TRUE(std::filesystem::exists(Path("book.xls")));
  EXPECT_EQ(Save(Name("new.bin"), Name("book.xls")), kNotImported);
  EXPECT_FALSE(std::filesystem::exists(Path("book.xls")));
  EXPECT_EQ(attempts_, 2);
  const std::string cannot_start = "Couldn't start Excel and get Application object.";
  const std::string failed = "xls file error,can not create new flash";
  EXPECT_EQ(messages_.texts(),
            (std::vector<std::string>{cannot_start, failed, cannot_start, failed}));
  EXPECT_FALSE(std::filesystem::exists(Path("new.bin")));
}

}  // namespace
}  // namespace nuv::exchange
