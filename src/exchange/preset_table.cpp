#include "exchange/preset_table.h"

#include <algorithm>

#include "exchange/exchange_numbers.h"
#include "workbook/cell_grid.h"
#include "workbook/excel_operations.h"

namespace nuv::exchange {

using workbook::FormatCellName;
using workbook::kMaxColumns;
using workbook::kMaxRows;
using workbook::ValueArray;
using workbook::VT_BSTR;
using workbook::VT_R8;

namespace {

constexpr std::string_view kLeftAlone = "; the \"preset\" block was left as it was.";

std::string CellName(std::uint32_t row, std::uint32_t column) {
  return FormatCellName(column, row)
      .value_or(std::string("(")
                    .append(std::to_string(row))
                    .append(", ")
                    .append(std::to_string(column))
                    .append(")"));
}

void AppendText(std::vector<std::uint8_t>& out, std::u16string_view text) {
  for (char16_t c : text) {
    out.push_back(static_cast<std::uint8_t>(c & 0xFF));
    out.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  out.push_back(0);
  out.push_back(0);
}

std::u16string Widened(std::string_view ascii) {
  return std::u16string(ascii.begin(), ascii.end());
}

}  // namespace

std::optional<std::vector<std::uint8_t>> BuildPresetTable(const ValueArray& values,
                                                          std::uint32_t rows, std::uint32_t columns,
                                                          Messages& messages) {
  if (rows > kMaxPresetRows || columns > 0xFFFF) {
    messages.Show(BoxCaption::Application,
                  "The \"Program\" sheet uses " + std::to_string(rows) + " rows and " +
                      std::to_string(columns) +
                      " columns, more than the preset table can count (65535)" +
                      std::string(kLeftAlone));
    return std::nullopt;
  }
  std::vector<std::uint8_t> out(kPresetMagic.begin(), kPresetMagic.end());
  out.push_back(static_cast<std::uint8_t>(rows >> 8));
  out.push_back(static_cast<std::uint8_t>(rows & 0xFF));
  out.push_back(static_cast<std::uint8_t>(columns >> 8));
  out.push_back(static_cast<std::uint8_t>(columns & 0xFF));

  // Only the elements that hold a value are visited, so the empty cells up
  // to a stray one far away cost nothing.
  std::uint32_t flagged_row = 0;
  for (const auto& [row, column, value] : values.stored()) {
    if (row > rows || column > columns)
      continue;
    std::u16string number_text;
    std::u16string_view text;
    if (value.type() == VT_R8) {
      number_text = Widened(TruncatedNumberText(value.AsDouble()));
      text = number_text;
    } else if (value.type() == VT_BSTR) {
      text = value.AsText();
    } else {
      continue;  // booleans and error values leave no bytes
    }
    if (column > kMaxPresetColumns) {
      messages.Show(BoxCaption::Application,
                    "Cell " + CellName(row, column) +
                        " of the \"Program\" sheet lies beyond column 128, the last one the "
                        "preset table holds" +
                        std::string(kLeftAlone));
      return std::nullopt;
    }
    if (text.size() > kMaxPresetText) {
      messages.Show(BoxCaption::Application,
                    "Cell " + CellName(row, column) + " of the \"Program\" sheet holds " +
                        std::to_string(text.size()) +
                        " characters, more than the 32766 a preset table cell holds" +
                        std::string(kLeftAlone));
      return std::nullopt;
    }
    std::uint8_t marker = static_cast<std::uint8_t>(column - 1);
    if (row != flagged_row) {
      marker |= kPresetRowStart;
      flagged_row = row;
    }
    out.push_back(marker);
    AppendText(out, text);
    if (out.size() > kPresetBufferSize) {
      messages.Show(BoxCaption::Application,
                    "The \"Program\" sheet makes a preset table larger than 2 MiB (2097152 "
                    "bytes)" +
                        std::string(kLeftAlone));
      return std::nullopt;
    }
  }
  return out;
}

PresetTable ReadPresetTable(std::span<const std::uint8_t> table) {
  PresetTable result;
  if (table.size() < kPresetHeaderSize)
    return result;
  result.columns = static_cast<std::uint16_t>(table[12] << 8 | table[13]);
  std::uint32_t row = 0;
  std::uint32_t column = 0;
  std::size_t p = kPresetHeaderSize;
  while (p < table.size()) {
    const std::uint8_t marker = table[p++];
    if (marker & kPresetRowStart) {
      ++row;
      column = (marker & 0x7F) + 1u;
    } else {
      row = std::max<std::uint32_t>(row, 1);
      ++column;
    }
    PresetCell cell;
    cell.row = row;
    cell.column = column;
    bool terminated = false;
    while (p + 1 < table.size()) {
      const char16_t c = static_cast<char16_t>(table[p] | table[p + 1] << 8);
      p += 2;
      if (c == 0) {
        terminated = true;
        break;
      }
      cell.text.push_back(c);
    }
    if (!terminated) {
      result.unterminated = true;
      p = table.size();
    }
    if (cell.text.size() > kMaxPresetText) {
      cell.text.resize(kMaxPresetText);
      ++result.texts_cut;
    }
    result.cells.push_back(std::move(cell));
  }
  return result;
}

bool IsOnSheet(const PresetCell& cell) {
  return cell.row <= kMaxRows && cell.column <= kMaxColumns;
}

bool SheetShowsPresetTable(const ValueArray& values, std::uint32_t rows, std::uint32_t columns,
                           const PresetTable& table) {
  if (values.rows() < rows || values.columns() < columns)
    return false;
  // Both the sheet's values and the table's cells come row by row, and
  // within a row from left to right, so a value that no cell of the table
  // takes is left over at the end.
  const std::span<const ValueArray::Element> stored = values.stored();
  std::size_t next = 0;
  const auto next_shown = [&]() -> const ValueArray::Element* {
    while (next < stored.size() && (stored[next].row > rows || stored[next].column > columns))
      ++next;
    return next < stored.size() ? &stored[next] : nullptr;
  };
  for (const PresetCell& cell : table.cells) {
    if (!IsOnSheet(cell))
      continue;
    const ValueArray::Element* shown = next_shown();
    if (shown && shown->row == cell.row && shown->column == cell.column) {
      if (shown->value.type() != VT_BSTR || shown->value.AsText() != cell.text)
        return false;
      ++next;
    } else if (!cell.text.empty()) {
      return false;
    }
  }
  return next_shown() == nullptr;
}

}  // namespace nuv::exchange
