#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "support/messages.h"
#include "workbook/workbook_data.h"

namespace nuv::workbook {

// A workbook as text, one line per sheet and per cell, for people who
// script around the workbook (`nuv xls dump` / `nuv xls make`):
//
//   SHEET <TAB> <TAB> <TAB> sheet <TAB>            a sheet, in tab order
//   SHEET <TAB> ROW <TAB> COLUMN <TAB> TYPE <TAB> VALUE
//
// ROW and COLUMN count from 1. TYPE is number, text, bool (VALUE TRUE or
// FALSE), error (#NULL!, #DIV/0!, #VALUE!, #REF!, #NAME?, #NUM!, #N/A), the
// same four prefixed with "formula-" for the cached result of a formula, or
// fill (VALUE a palette colour index, 1 to 56), which follows the cell's
// value line. Numbers are written with the fewest digits that read back
// exactly, in full for exponents -4 to 15 ("1000", "0.0001") and in
// scientific form beyond ("1e-05", "1e+16"). In sheet names and texts a backslash, tab, line feed
// and carriage return are written \\, \t, \n and \r.

// Every sheet, then every used cell of it, row by row.
std::string ListWorkbook(const WorkbookData& workbook);

// Builds a workbook from such lines (empty lines are skipped; sheets come in
// the order they are first named). Nothing when a line cannot be read,
// after "line N: why".
[[nodiscard]] std::optional<WorkbookData> ParseListing(std::string_view text, Messages& messages);

}  // namespace nuv::workbook
