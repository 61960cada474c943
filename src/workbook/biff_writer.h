#pragma once

#include <cstdint>
#include <vector>

#include "workbook/workbook_data.h"

namespace nuv::workbook {

// The Workbook stream of an Excel 97 (BIFF8) file holding the workbook:
// sheet names and order, the active sheet, numbers, texts in any Unicode
// (in the shared string table, continued across records as the format
// requires), booleans, error values and fills by palette colour index. A
// formula cell is written as a formula of its constant value (a text of more
// than 255 characters as a plain text), so that it reads back as a formula.
// The workbook needs at least one sheet; texts are at most 32,767
// characters (callers keep both limits).
std::vector<std::uint8_t> WriteBiff8(const WorkbookData& workbook);

}  // namespace nuv::workbook
