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
  {
    const test::ScopedEnv app("NUV_SPREADSHEET_APP", "  localc   --norestore ");
    EXPECT_EQ(ChosenViewerCommand("b.xls"), (Words{"localc", "--norestore", "b.xls"}));
  }
  {
    // A program in a folder whose name holds blanks, as on Windows.
    const test::ScopedEnv app("NUV_SPREADSHEET_APP",
                              R"("C:\Program Files\Office\calc.exe" --view "a b")");
    EXPECT_EQ(ChosenViewerCommand("b.xls"),
              (Words{R"(C:\Program Files\Office\calc.exe)", "--view", "a b", "b.xls"}));
  }
  {
    const test::ScopedEnv off("NUV_SPREADSHEET_APP", "");
    EXPECT_EQ(ChosenViewerCommand("b.xls"), Words{});
  }
  const test::ScopedEnv unset("NUV_SPREADSHEET_APP", std::nullopt);
  EXPECT_EQ(ChosenViewerCommand("b.xls"), std::nullopt);
}

}  // namespace
}  // namespace nuv::workbook
