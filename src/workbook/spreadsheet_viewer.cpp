#include "workbook/spreadsheet_viewer.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "platform/environment.h"
#include "platform/spawn.h"

namespace nuv::workbook {

std::vector<std::string> SpreadsheetViewerCommand(const std::filesystem::path& file) {
  std::vector<std::string> command;
  if (const char* configured = std::getenv("NUV_SPREADSHEET_APP")) {
    std::string_view rest = configured;
    while (!rest.empty()) {
      std::size_t start = rest.find_first_not_of(" \t");
      if (start == std::string_view::npos)
        break;
      rest.remove_prefix(start);
      std::size_t end = rest.find_first_of(" \t");
      command.emplace_back(rest.substr(0, end));
      rest = end == std::string_view::npos ? std::string_view() : rest.substr(end);
    }
  } else if (std::optional<std::string> opener = platform::DesktopOpener()) {
    command.push_back(*std::move(opener));
  }
  if (!command.empty())
    command.push_back(file.string());
  return command;
}

void ShowInSpreadsheetViewer(const std::filesystem::path& file) {
  std::vector<std::string> command = SpreadsheetViewerCommand(file);
  if (command.empty())
    return;
  const platform::Result<void> started = platform::SpawnDetached(command);
  if (!started.ok())
    std::fprintf(stderr, "nuv: could not show %s in the spreadsheet program: %s\n",
                 file.string().c_str(), started.error().c_str());
}

}  // namespace nuv::workbook
