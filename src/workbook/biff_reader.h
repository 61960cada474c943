#pragma once

#include <cstdint>
#include <span>

#include "workbook/workbook_data.h"

namespace nuv::workbook {

// Reads the Workbook stream of an Excel 97 (BIFF8) file: the worksheets in
// tab order with their names, and of each cell its value (numbers from
// NUMBER, RK and MULRK records; texts from LABELSST, LABEL and RSTRING, the
// shared strings continued across records; booleans and error values; the
// cached result of a formula, marked as such) and its fill colour. Cells are
// taken wherever they are, whatever the DIMENSIONS record says. Damaged,
// truncated, encrypted or older-format streams raise nuv::AutomationError
// with a sentence that says what is wrong; every count and offset read from
// the stream is checked against its size first.
WorkbookData ReadBiff8(std::span<const std::uint8_t> stream);

}  // namespace nuv::workbook
