#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "support/messages.h"
#include "workbook/variant.h"

namespace nuv::exchange {

// The preset table, the content of the "Program" sheet that an image keeps
// (packed by lzma) in its "preset" block. Unpacked it is:
//
//   "presetdata" (10 bytes, no terminator)
//   row count, u16 big-endian
//   column count, u16 big-endian
//   then the stored cells, row by row and within a row column by column:
//     marker: bits 0-6 the column - 1, bit 7 set on the first cell of a row
//     the text in UTF-16LE, then a 16-bit zero
//
// Only cells holding a number or a text are stored; a number is stored as
// the decimal text of its truncated value. A row without such cells leaves
// no trace, so a reader numbers rows 1, 2, 3 ... in the order their first
// cells come.
inline constexpr std::string_view kPresetMagic = "presetdata";
inline constexpr std::size_t kPresetHeaderSize = 14;
inline constexpr std::uint8_t kPresetRowStart = 0x80;
// The limits that follow from the format: the marker holds a column - 1 in
// seven bits, the counts are 16 bits, and the readers advance past a text
// by a 16-bit length (2 x characters + 2).
inline constexpr std::uint32_t kMaxPresetColumns = 128;
inline constexpr std::uint32_t kMaxPresetRows = 0xFFFF;
inline constexpr std::size_t kMaxPresetText = 32766;
// The buffer that holds a table, unpacked or packed: 2 MiB.
inline constexpr std::size_t kPresetBufferSize = 0x200000;

// The table made from the values of the "Program" sheet (a ValueArray of
// at least rows x columns, counted from A1). Nothing, after a message that
// says why, when the sheet does not fit the format: more than 65,535 rows,
// a stored cell beyond column 128, a text of more than 32,766 characters,
// or a table larger than 2 MiB.
std::optional<std::vector<std::uint8_t>> BuildPresetTable(const workbook::ValueArray& values,
                                                          std::uint32_t rows, std::uint32_t columns,
                                                          Messages& messages);

// One cell of a table as a reader places it.
struct PresetCell {
  std::uint32_t row = 0;     // from 1, in order of appearance
  std::uint32_t column = 0;  // from 1
  std::u16string text;
};

// What a reader takes out of an unpacked table.
struct PresetTable {
  std::uint16_t columns = 0;  // bytes 12 and 13: the width of highlighted rows
  std::vector<PresetCell> cells;
  // A cell text that ran to the end of the table without its terminator:
  // it is kept as far as it goes.
  bool unterminated = false;
  // Texts longer than a cell holds (more than 32,766 characters) were cut.
  std::size_t texts_cut = 0;
};

// Reads an unpacked table the way the export places it on the sheet: bytes
// 0 to 11 are not looked at; bytes 12 and 13 give the column count; a
// marker with bit 7 set starts the next row and puts its cell in column
// (marker & 0x7F) + 1; a marker with bit 7 clear puts its cell in the
// column after the previous cell of the row, whatever else it holds (a
// table that begins with such a marker begins row 1 at column 1). A table
// of 14 bytes or less holds no cells.
PresetTable ReadPresetTable(std::span<const std::uint8_t> table);

// Whether the export puts the cell on the "Program" sheet: a sheet has
// 65,536 rows of 256 columns, and cells beyond them are left out.
bool IsOnSheet(const PresetCell& cell);

// Whether the sheet's values (at least rows x columns, from A1) show
// exactly what the export puts on the "Program" sheet for `table`: the text
// of each of its cells on the sheet at its place (a cell of empty text may
// have been left empty) and no other value.
bool SheetShowsPresetTable(const workbook::ValueArray& values, std::uint32_t rows,
                           std::uint32_t columns, const PresetTable& table);

}  // namespace nuv::exchange
