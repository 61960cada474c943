// The command that shows a saved workbook: the words of NUV_SPREADSHEET_APP,
// else the desktop's opener where the tool may start one unasked.
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
  const test::ScopedEnv display("DISPLAY", std::nullopt), wayland("WAYLAND_DISPLAY", std::nullopt);
  {
    const test::ScopedEnv app("NUV_SPREADSHEET_APP", "  localc   --norestore ");
    EXPECT_EQ(SpreadsheetViewerCommand("b.xls"), (Words{"localc", "--norestore", "b.xls"}));
  }
#ifndef _WIN32  // there an empty value removes the variable
  {
    const test::ScopedEnv off("NUV_SPREADSHEET_APP", "");
    const test::ScopedEnv shown("DISPLAY", ":0");
    EXPECT_TRUE(SpreadsheetViewerCommand("b.xls").empty());
  }
#endif
  const test::ScopedEnv unset("NUV_SPREADSHEET_APP", std::nullopt);
  EXPECT_TRUE(SpreadsheetViewerCommand("b.xls").empty());  // no display to show it on
  const test::ScopedEnv shown("DISPLAY", ":0");
#ifdef _WIN32  // a display there is the one of the machine Wine runs on
  EXPECT_TRUE(SpreadsheetViewerCommand("b.xls").empty());
#else
  EXPECT_EQ(SpreadsheetViewerCommand("b.xls"), (Words{"xdg-open", "b.xls"}));
#endif
}

}  // namespace
}  // namespace nuv::workbook
