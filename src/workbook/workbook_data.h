#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "workbook/cell_grid.h"

namespace nuv::workbook {

// One worksheet: its name and its cells.
struct SheetData {
  std::u16string name;
  CellGrid cells;
};

// The content of a workbook as a file holds it: the worksheets in tab order
// and which one is active. Sheets are shared so that objects of the
// spreadsheet application can keep referring to a sheet while others are
// added before it.
struct WorkbookData {
  std::vector<std::shared_ptr<SheetData>> sheets;
  std::size_t active = 0;
};

// Why a sheet name cannot be used (nothing when it can): the spreadsheet
// allows 1 to 31 characters, none of : \ / ? * [ ], and no apostrophe at
// either end.
std::optional<std::string> SheetNameProblem(std::u16string_view name);

// The position (from 0) of the sheet whose name matches without regard to
// case, or the number of sheets when none does.
std::size_t FindSheet(const WorkbookData& workbook, std::u16string_view name);

}  // namespace nuv::workbook
