// The command that the user chose to show a saved workbook with:
// NUV_SPREADSHEET_APP's words (quoted ones kept whole), nothing when it is
// empty, and the desktop's choice when it is not set.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "test_files.h"
#include "workbook/spreadsheet_viewer.h"

namespace nuv::workbook {
namespace {

using Words = std::vector<std::string>;

TEST(ViewerCommand, TheCommandComesFromTheEnvironment) {
  const struct Case {
    std::optional<std::string> app;
    std::optional<Words> command;
  } cases[] = {
      {"  localc   --norestore ", Words{"localc", "--norestore", "b.xls"}},
      // A program in a folder whose name holds blanks, as on Windows.
      {R"("C:\Program Files\Office\calc.exe" --view "a b")",
       Words{R"(C:\Program Files\Office\calc.exe)", "--view", "a b", "b.xls"}},
      {"", Words{}},
      {std::nullopt, std::nullopt},
  };
  for (const Case& c : cases) {
    const test::ScopedEnv app("NUV_SPREADSHEET_APP", c.app);
    EXPECT_EQ(ChosenViewerCommand("b.xls"), c.command) << c.app.value_or("(not set)");
  }
}

}  // namespace
}  // namespace nuv::workbook
