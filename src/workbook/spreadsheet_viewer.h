#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace nuv::workbook {

// The command that the user chose to show a saved workbook with, when the
// stand-in spreadsheet application is made visible: $NUV_SPREADSHEET_APP
// split as a Windows command line, on every system (words at blanks, double
// quotes around a program or argument that holds blanks, as in
// "C:\Program Files\LibreOffice\program\soffice.exe" --calc), followed by
// the file. Empty when
// the variable is set to an empty text, which turns showing off (tests do
// that); none when it is not set, and the desktop chooses the program.
std::optional<std::vector<std::string>> ChosenViewerCommand(const std::filesystem::path& file);

// Starts the chosen command, else has the desktop open the file in the
// program it associates with .xls files; nothing waits for it. A program
// that cannot be started is reported on standard error and otherwise
// ignored: the workbook is saved and stays usable either way.
void ShowInSpreadsheetViewer(const std::filesystem::path& file);

}  // namespace nuv::workbook
