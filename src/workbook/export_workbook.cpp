#include "workbook/export_workbook.h"

#include <array>
#include <utility>

#include "toolcfg/block_lookup.h"
#include "workbook/cell_grid.h"
#include "workbook/excel_operations.h"
#include "workbook/preset_packing.h"
#include "workbook/preset_table.h"

namespace nuv::workbook {
namespace {

// Highlights rows across the preset table's column count n. Without a
// count there is no range to colour: such rows stay as they are, and the
// user is told once.
class RowHighlighter {
 public:
  explicit RowHighlighter(Messages& messages) : messages_(messages) {}

  void set_columns(std::uint32_t columns) { columns_ = columns; }

  void Highlight(std::uint32_t row, const ExcelWorksheet& sheet) {
    if (HighlightRow(row, columns_, kHighlightColor, sheet) || told_)
      return;
    told_ = true;
    messages_.Show(BoxCaption::Application,
                   "The preset table gives no column count (the image has no table, or its "
                   "table has 0 columns), so rows are not highlighted.");
  }

 private:
  Messages& messages_;
  std::uint32_t columns_ = 0;
  bool told_ = false;
};

// Writes one cell through the sheet's Cells range.
void PutCell(const ExcelRange& cells, std::uint32_t row, std::uint32_t column,
             const Variant& value) {
  cells.SetItem(Variant::I4(static_cast<std::int32_t>(row)),
                Variant::I4(static_cast<std::int32_t>(column)), value);
}

// Writes the unpacked preset table to the "Program" sheet; its column
// count, the width of highlighted rows.
std::uint32_t WritePresetTable(std::span<const std::uint8_t> stream, const ExcelWorksheet& sheet,
                               const ExcelRange& cells, RowHighlighter& highlighter,
                               Messages& messages) {
  const PresetTable table = ReadPresetTable(stream);
  std::uint32_t columns = table.columns;
  if (columns > kMaxColumns) {
    messages.Show(BoxCaption::Application,
                  "The preset table claims " + std::to_string(columns) +
                      " columns; rows are highlighted across the 256 a sheet has.");
    columns = kMaxColumns;
  }
  highlighter.set_columns(columns);

  std::size_t left_out = 0;
  std::uint32_t row = 0;
  for (const PresetCell& cell : table.cells) {
    if (cell.row > kMaxRows || cell.column > kMaxColumns) {
      ++left_out;
      continue;
    }
    PutCell(cells, cell.row, cell.column, Variant::Text(cell.text));
    if (cell.row != row) {
      row = cell.row;
      if (!cell.text.empty() && cell.text.front() == u'*')
        highlighter.Highlight(row, sheet);
    }
  }
  if (left_out)
    messages.Show(BoxCaption::Application,
                  std::to_string(left_out) +
                      " cells of the preset table lie beyond the 65536 rows or 256 columns of a "
                      "sheet and are not on the \"Program\" sheet.");
  if (table.texts_cut)
    messages.Show(BoxCaption::Application,
                  std::to_string(table.texts_cut) +
                      " texts of the preset table are longer than a cell holds; the \"Program\" "
                      "sheet shows their first 32766 characters.");
  if (table.unterminated)
    messages.Show(BoxCaption::Application,
                  "The preset table ends inside a cell text; the \"Program\" sheet shows that "
                  "text as far as it goes.");
  return columns;
}

// Writes one configuration sheet: titles, then block and item rows.
void WriteConfigSheet(const toolcfg::ToolConfigSheet& record, const ExcelWorksheet& sheet,
                      const ExcelRange& cells, RowHighlighter& highlighter) {
  std::uint32_t column = 0;
  for (const toolcfg::SheetColumn& title : record.columns)
    PutCell(cells, 1, ++column, Variant::Text(title.title));

  std::uint32_t row = 1;
  for (const toolcfg::ConfigBlock& block : record.blocks) {
    ++row;
    PutCell(cells, row, 1, Variant::Text("*" + block.name));
    if (sheet.GetName() != kFilePathSheet)
      highlighter.Highlight(row, sheet);
    for (const toolcfg::ConfigItem& item : block.items) {
      ++row;
      PutCell(cells, row, 1, Variant::Text(item.name));
      const bool known_type = item.type == toolcfg::kItemNumber ||
                              item.type == toolcfg::kItemText || item.type == toolcfg::kItemRange;
      if (item.type == toolcfg::kItemText)
        PutCell(cells, row, 2, Variant::Text(item.text_value));
      else if (item.is_number())
        PutCell(cells, row, 2, Variant::UI8(item.number_value));
      if (item.type == toolcfg::kItemRange) {
        PutCell(cells, row, 3, Variant::UI4(static_cast<std::uint32_t>(item.min)));
        PutCell(cells, row, 4, Variant::UI4(static_cast<std::uint32_t>(item.max)));
      }
      if (block.em == 1)
        PutCell(cells, row, known_type ? 5 : 4, Variant::Text(item.description));
    }
  }
}

}  // namespace

bool HighlightRow(std::uint32_t row, std::uint32_t columns, std::uint8_t color,
                  const ExcelWorksheet& sheet) {
  std::string first, last;
  if (!FormatCellName(1, row, first) || !FormatCellName(columns, row, last))
    return false;
  ExcelRange range(sheet.GetRange(Variant::Text(first), Variant::Text(last)));
  ExcelInterior interior(range.GetInterior());
  interior.SetColorIndex(Variant::I2(color));
  return true;
}

int ExportWorkbook(WorkbookExchange& exchange, std::string& workbook_path,
                   const ExportOptions& options) {
  workbook_path = options.workbook_path.empty() ? DefaultWorkbookPath() : options.workbook_path;
  const Variant missing = MissingArgument();
  ExcelApplication app;
  if (!StartExcel(app, exchange.messages))
    return 0;
  ExcelWorkbooks books(app.GetWorkbooks());
  ExcelWorkbook book(books.Add(missing));
  ExcelWorksheets sheets(book.GetWorksheets());
  ExcelWorksheet sheet(sheets.Add(missing, missing, missing, missing));
  ExcelRange cells;
  auto hand_over = [&] {
    if (!options.hand_to_user)
      return;
    app.SetVisible(true);
    app.SetUserControl(true);
  };

  // The added sheet holds the preset table.
  sheet.AttachDispatch(sheets.GetItem(Variant::Text("sheet4")));
  sheet.SetName(kProgramSheet);
  cells.AttachDispatch(sheet.GetCells());
  RowHighlighter highlighter(exchange.messages);
  if (const image::BlockRecord* preset = toolcfg::FindBlockByName(
          exchange.table, kPresetBlockName, kPresetNameLength, exchange.messages)) {
    std::span<const std::uint8_t> packed = preset->data.bytes();
    packed = packed.first(std::min<std::size_t>(packed.size(), preset->entry.size()));
    std::vector<std::uint8_t> stream;
    if (!UnpackPreset(exchange, stream, packed)) {
      hand_over();
      return 0;
    }
    WritePresetTable(stream, sheet, cells, highlighter, exchange.messages);
  }

  // The three default sheets hold the model's three sheet records.
  const std::array<std::pair<std::string_view, const toolcfg::ToolConfigSheet*>, 3> layout{{
      {kKeySheet, &exchange.model.sheet2},
      {kSystemSheet, &exchange.model.sheet3},
      {kFilePathSheet, &exchange.model.sheet4},
  }};
  for (std::size_t k = 0; k < layout.size(); ++k) {
    sheet.AttachDispatch(sheets.GetItem(Variant::Text("sheet" + std::to_string(k + 1))));
    sheet.SetName(layout[k].first);
    cells.AttachDispatch(sheet.GetCells());
    WriteConfigSheet(*layout[k].second, sheet, cells, highlighter);
  }

  hand_over();
  book.SaveAs(Variant::Text(workbook_path), missing, missing, missing, missing, missing, 0, missing,
              missing, missing, missing);
  platform::SetFileHidden(NativeFilePath(workbook_path));
  return 1;
}

}  // namespace nuv::workbook
