#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "support/messages.h"
#include "workbook/excel.h"
#include "workbook/variant.h"

namespace nuv::workbook {

// The value passed for every optional argument that is left out: VT_ERROR
// with DISP_E_PARAMNOTFOUND.
Variant MissingArgument();

// The text shown when the spreadsheet application cannot be started.
inline constexpr std::string_view kCannotStartExcel =
    "Couldn't start Excel and get Application object.";

// Starts a new instance of "Excel.Application" into app (not made
// visible). When that fails, shows kCannotStartExcel in a box with the
// application's caption: kNotStarted.
enum class StartResult { kStarted, kNotStarted };
[[nodiscard]] StartResult StartExcel(ExcelApplication& app, Messages& messages);

// Fills sheet with the worksheet called name: first the sheet at position
// first, then, while the name read differs (exact, case-sensitive), the
// sheets at positions 1, 2, 3 ... A name that no sheet bears ends, past the
// last sheet, with the automation error "The workbook has no sheet named
// "NAME"."
void FindSheetByName(const ExcelWorksheets& sheets, std::string_view name, std::int16_t first,
                     ExcelWorksheet& sheet);

// The extent of a sheet's used range: rows = UsedRange.Rows.Count, columns
// = the Columns.Count of that same Rows range.
struct UsedExtent {
  std::uint32_t rows = 0;
  std::uint32_t columns = 0;
};
UsedExtent GetUsedExtent(const ExcelWorksheet& sheet);

// The values of the cells from A1 to (rows, columns), fetched with one
// Value2 call. The read always starts at A1, wherever the used range
// starts. A single cell comes back as a 1 x 1 array.
ValueArray ReadSheetValues(const ExcelWorksheet& sheet, std::uint32_t rows, std::uint32_t columns);

// The A1-notation name of a cell, both counted from 1: "A1", "Z3", "AA3",
// "ZZ1". Nothing when the column or the row is 0 or the column is beyond
// 702 (ZZ), the last the scheme names.
[[nodiscard]] std::optional<std::string> FormatCellName(std::uint32_t column, std::uint32_t row);

// Closes the workbook without saving (SaveChanges = VT_I2 0, the other two
// arguments left out), then quits the application.
void CloseAndQuit(const ExcelWorkbook& workbook, const ExcelApplication& app);

}  // namespace nuv::workbook
