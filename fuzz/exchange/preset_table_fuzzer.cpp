// ReadPresetTable on any bytes: it never reads outside the table, places
// every cell in a row and column from 1 with columns rising within a row,
// keeps texts a cell can hold, and what it read, stored again as the import
// stores a sheet, reads back as the same cells.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "exchange/preset_table.h"
#include "fuzz_check.h"
#include "support/messages.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace nuv::exchange;
  using namespace nuv::workbook;
  using nuv::fuzz::Check;
  const PresetTable table = ReadPresetTable(std::span<const std::uint8_t>(data, size));
  Check(size >= kPresetHeaderSize || table.cells.empty());

  std::uint32_t rows = 0;
  std::uint32_t columns = 0;
  std::uint32_t last_row = 0;
  std::uint32_t last_column = 0;
  for (const PresetCell& cell : table.cells) {
    Check(cell.row >= 1 && cell.column >= 1);
    Check(cell.row == last_row + 1 || (cell.row == last_row && cell.column > last_column));
    Check(cell.text.size() <= kMaxPresetText);
    last_row = cell.row;
    last_column = cell.column;
    rows = std::max(rows, cell.row);
    columns = std::max(columns, cell.column);
  }

  // Stored again (when the sheet fits the format), the cells come back.
  if (table.cells.empty() || columns > kMaxPresetColumns ||
      static_cast<std::uint64_t>(rows) * columns > 1'000'000)
    return 0;
  ValueArray values(rows, columns);
  for (const PresetCell& cell : table.cells)
    values.Set(cell.row, cell.column, Variant::Text(cell.text));
  nuv::RecordedMessages messages;
  const auto stored = BuildPresetTable(values, rows, columns, messages);
  if (!stored) {
    Check(messages.shown().size() == 1);
    return 0;
  }
  const PresetTable again = ReadPresetTable(*stored);
  Check(again.columns == columns);
  Check(!again.unterminated && again.texts_cut == 0);
  Check(again.cells.size() == table.cells.size());
  for (std::size_t i = 0; i < again.cells.size(); ++i) {
    Check(again.cells[i].row == table.cells[i].row);
    Check(again.cells[i].text == table.cells[i].text);
  }
  return 0;
}
