#include "workbook/spreadsheet_viewer.h"

#include <cstdio>

#include "platform/command_line.h"
#include "platform/desktop.h"
#include "platform/environment.h"
#include "platform/spawn.h"

namespace nuv::workbook {

std::optional<std::vector<std::string>> ChosenViewerCommand(const std::filesystem::path& file) {
  const std::optional<std::string> configured = platform::EnvironmentValue("NUV_SPREADSHEET_APP");
  if (!configured)
    return std::nullopt;
  std::vector<std::string> command = platform::SplitWindowsCommandLine(*configured);
  if (!command.empty())
    command.push_back(file.string());
  return command;
}

namespace {

platform::Result<void> Show(const std::filesystem::path& file) {
  if (std::optional<std::vector<std::string>> chosen = ChosenViewerCommand(file))
    return chosen->empty() ? platform::Result<void>() : platform::SpawnDetached(*chosen);
  if (platform::Result<platform::DesktopOpen> opened = platform::OpenWithDesktop(file);
      !opened.ok())
    return opened.failure();
  return {};
}

}  // namespace

void ShowInSpreadsheetViewer(const std::filesystem::path& file) {
  if (const platform::Result<void> shown = Show(file); !shown.ok())
    std::fprintf(stderr, "nuv: could not show %s in the spreadsheet program: %s\n",
                 file.string().c_str(), shown.error().c_str());
}

}  // namespace nuv::workbook
