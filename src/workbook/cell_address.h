#pragma once

#include <optional>
#include <string_view>

#include "workbook/cell_grid.h"

namespace nuv::workbook {

// Reads a cell address in A1 notation ("B7", "$B$7", letters in either
// case) or a rectangle of two ("A1:C3", corners in any order) within the
// sheet's grid; none for anything else.
std::optional<CellRect> ParseA1Range(std::u16string_view text);

}  // namespace nuv::workbook
