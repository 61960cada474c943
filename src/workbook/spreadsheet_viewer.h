#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace nuv::workbook {

// The command that shows a saved workbook to the user, when the stand-in
// spreadsheet application is made visible: the words of
// $NUV_SPREADSHEET_APP (split at blanks) followed by the file, or, when that
// variable is not set, the desktop's opener with the file (see
// platform::DesktopOpener: xdg-open on a display). Empty when nothing is to be
// started: NUV_SPREADSHEET_APP set to an empty text turns it off, which is
// what tests do.
std::vector<std::string> SpreadsheetViewerCommand(const std::filesystem::path& file);

// Starts that command without waiting for it. A program that cannot be
// started is reported on standard error and otherwise ignored: the workbook
// is saved and stays usable either way.
void ShowInSpreadsheetViewer(const std::filesystem::path& file);

}  // namespace nuv::workbook
