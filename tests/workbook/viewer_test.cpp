// Making the stand-in application visible shows the saved workbook in the
// user's spreadsheet program: NUV_SPREADSHEET_APP, else the desktop's choice.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <thread>

#include "support/messages.h"
#include "workbook/automation_registry.h"
#include "workbook/excel_operations.h"
#include "workbook/spreadsheet_viewer.h"
#include "workbook_test_support.h"

namespace nuv::workbook {
namespace {

using testing::ReadText;

class Viewer : public testing::WorkbookTest {
 protected:
  testing::ScopedEnv display_{"DISPLAY", std::nullopt}, wayland_{"WAYLAND_DISPLAY", std::nullopt},
      path_{"PATH"};

  // A program that appends its arguments to the file "shown".
  std::filesystem::path Recorder(const std::string& name) {
    std::filesystem::path script = Path(name);
    std::string text = "#!/bin/sh\necho \"$@\" >> '" + Path("shown").string() + "'\n";
    testing::WriteFile(script, text);
    ::chmod(script.c_str(), 0755);
    return script;
  }

  // Waits until the file "shown" has count lines, for at most 10 seconds.
  std::vector<std::string> ShownLines(std::size_t count) {
    for (int i = 0; i < 200; ++i) {
      std::vector<std::string> lines;
      std::string text = ReadText(Path("shown"));
      for (std::size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos;
           start = end + 1)
        lines.push_back(text.substr(start, end - start));
      if (lines.size() >= count)
        return lines;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return {};
  }

  // Makes a visible application with a new workbook and saves it.
  void SaveVisibly(const std::vector<std::string>& names) {
    RecordedMessages messages;
    ExcelApplication app;
    ASSERT_EQ(StartExcel(app, messages), StartResult::kStarted);
    ExcelWorkbooks books(app.GetWorkbooks());
    ExcelWorkbook book(books.Add(MissingArgument()));
    app.SetVisible(true);  // before saving, as the export does
    app.SetUserControl(true);
    Variant m = MissingArgument();
    for (const std::string& name : names)
      book.SaveAs(Variant::Text(Path(name).string()), m, m, m, m, m, 0, m, m, m, m);
  }
};

TEST_F(Viewer, SavingWhileVisibleShowsTheWorkbookOnce) {
  ::setenv("NUV_SPREADSHEET_APP", (Recorder("show.sh").string() + " --calc").c_str(), 1);
  SetServerQuestion([](std::string_view) { return true; });  // yes, replace a.xls
  SaveVisibly({"a.xls", "a.xls", "b.xls"});
  SetServerQuestion({});
  std::vector<std::string> lines = ShownLines(2);
  ASSERT_EQ(lines.size(), 2u);
  std::sort(lines.begin(), lines.end());
  EXPECT_EQ(lines[0], "--calc " + Path("a.xls").string());
  EXPECT_EQ(lines[1], "--calc " + Path("b.xls").string());
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(ShownLines(2).size(), 2u);  // the second save of a.xls showed nothing
}

TEST_F(Viewer, XdgOpenIsUsedUnlessTheVariableTurnsItOffAndNoProgramTouchesTheWorkbook) {
  Recorder("xdg-open");
  ::setenv("PATH", (folder().string() + ":" + std::getenv("PATH")).c_str(), 1);
  ::setenv("DISPLAY", ":0", 1);
  ::unsetenv("NUV_SPREADSHEET_APP");
  SaveVisibly({"a.xls"});
  EXPECT_EQ(ShownLines(1), std::vector<std::string>{Path("a.xls").string()});

  for (const std::string app : {"", "/nonexistent/spreadsheet"}) {
    ::setenv("NUV_SPREADSHEET_APP", app.c_str(), 1);
    const std::string name = app.empty() ? "off.xls" : "cannot-start.xls";
    SaveVisibly({name});
    EXPECT_TRUE(std::filesystem::exists(Path(name)));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  EXPECT_EQ(ShownLines(1).size(), 1u);
}

}  // namespace
}  // namespace nuv::workbook
