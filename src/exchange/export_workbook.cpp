#include "exchange/export_workbook.h"

#include <array>
#include <optional>
#include <utility>

#include "exchange/preset_packing.h"
#include "exchange/preset_table.h"
#include "platform/paths.h"
#include "toolcfg/block_lookup.h"
#include "workbook/cell_grid.h"
#include "workbook/excel_operations.h"
#include "workbook/utf16.h"

namespace nuv::exchange {

using workbook::CodePageTextForMessage;
using workbook::ExcelApplication;
using workbook::ExcelInterior;
using workbook::ExcelRange;
using workbook::ExcelWorkbook;
using workbook::ExcelWorkbooks;
using workbook::ExcelWorksheet;
using workbook::ExcelWorksheets;
using workbook::FormatCellName;
using workbook::kMaxColumns;
using workbook::kMaxRows;
using workbook::MissingArgument;
using workbook::StartExcel;
using workbook::Variant;

namespace {

// Highlights rows across the preset table's column count n. Without a
// count there is no range to colour: such rows stay as they are, and the
// user is told once.
class RowHighlighter {
 public:
  explicit RowHighlighter(Messages& messages) : messages_(messages) {}

  void set_columns(std::uint32_t columns) { columns_ = columns; }

  void Highlight(std::uint32_t row, const ExcelWorksheet& sheet) {
    if (HighlightRow(row, columns_, kHighlightColor, sheet) == HighlightResult::kColoured || told_)
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
    if (!IsOnSheet(cell)) {
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

// One cell of a configuration sheet; a block row is highlighted after its
// cell is written.
struct SheetCell {
  std::uint32_t row;
  std::uint32_t column;
  Variant value;
  bool block_row = false;
};

// The cells of one configuration sheet: titles, then block and item rows.
// Its texts are those of the script and the image, read in the code page;
// nothing when one of them is no text of the code page (`refusal` then
// says which), since the sheet could not show it as it stands and the
// import could not give it back.
std::optional<std::vector<SheetCell>> LayOutConfigSheet(const toolcfg::ToolConfigSheet& record,
                                                        std::string_view sheet_name,
                                                        const platform::CodePage& code_page,
                                                        std::string& refusal) {
  std::vector<SheetCell> cells;
  auto text = [&](std::string_view ansi, auto&& owner) {
    std::optional<std::u16string> wide = code_page.ToUtf16(ansi);
    if (!wide && refusal.empty())
      refusal = "The " + owner() + " is no text of code page " +
                std::to_string(code_page.number()) +
                " (NUV_CODEPAGE chooses the code page), so no workbook was written.";
    return Variant::Text(wide.value_or(u""));
  };
  auto put = [&](std::uint32_t row, std::uint32_t column, Variant value, bool block_row = false) {
    cells.push_back({row, column, std::move(value), block_row});
  };
  auto shown = [&](std::string_view open, std::string_view ansi, std::string_view close) {
    return std::string(open) + CodePageTextForMessage(code_page, ansi) + std::string(close);
  };
  const std::string on_sheet = " on sheet \"" + std::string(sheet_name) + "\"";

  std::uint32_t column = 0;
  for (const toolcfg::SheetColumn& title : record.columns)
    put(1, ++column,
        text(title.title, [&] { return shown("column title \"", title.title, "\"") + on_sheet; }));
  std::uint32_t row = 1;
  for (const toolcfg::ConfigBlock& block : record.blocks) {
    ++row;
    const std::string of_block = shown(" of block [", block.name, "]");
    put(row, 1,
        text("*" + block.name, [&] { return shown("block name [", block.name, "]") + on_sheet; }),
        true);
    for (const toolcfg::ConfigItem& item : block.items) {
      ++row;
      const auto of_item = [&](std::string_view what) {
        return std::string(what) + shown(" of item [", item.name, "]") + of_block;
      };
      put(row, 1, text(item.name, [&] { return of_item("name"); }));
      const bool known_type = item.has_known_type();
      if (item.type == toolcfg::ItemType::Text)
        put(row, 2, text(item.text_value, [&] {
              return of_item(shown("text \"", item.text_value, "\""));
            }));
      else if (item.is_number())
        put(row, 2, Variant::UI8(item.number_value));
      if (item.type == toolcfg::ItemType::Range) {
        put(row, 3, Variant::UI4(static_cast<std::uint32_t>(item.min)));
        put(row, 4, Variant::UI4(static_cast<std::uint32_t>(item.max)));
      }
      if (block.em == 1)
        put(row, known_type ? 5 : 4,
            text(item.description, [&] { return of_item("description"); }));
    }
  }
  if (!refusal.empty())
    return std::nullopt;
  return cells;
}

void WriteConfigSheet(const std::vector<SheetCell>& layout, const ExcelWorksheet& sheet,
                      const ExcelRange& cells, RowHighlighter& highlighter) {
  for (const SheetCell& cell : layout) {
    PutCell(cells, cell.row, cell.column, cell.value);
    if (cell.block_row && sheet.GetName() != kFilePathSheet)
      highlighter.Highlight(cell.row, sheet);
  }
}

}  // namespace

HighlightResult HighlightRow(std::uint32_t row, std::uint32_t columns, std::uint8_t color,
                             const ExcelWorksheet& sheet) {
  const std::optional<std::string> first = FormatCellName(1, row);
  const std::optional<std::string> last = FormatCellName(columns, row);
  if (!first || !last)
    return HighlightResult::kNoRange;
  ExcelRange range(sheet.GetRange(Variant::Text(*first), Variant::Text(*last)));
  ExcelInterior interior(range.GetInterior());
  interior.SetColorIndex(Variant::I2(color));
  return HighlightResult::kColoured;
}

ExportOutcome ExportWorkbook(WorkbookExchange& exchange, const ExportOptions& options) {
  ExportOutcome outcome{ExportResult::kNotSaved, options.workbook_path.empty()
                                                     ? DefaultWorkbookPath()
                                                     : options.workbook_path};

  // The three sheet records, laid out before anything is started, so that a
  // text the code page cannot read stops the export before it begins.
  const std::array<std::pair<std::string_view, const toolcfg::ToolConfigSheet*>, 3> layout{{
      {kKeySheet, &exchange.model.sheet2},
      {kSystemSheet, &exchange.model.sheet3},
      {kFilePathSheet, &exchange.model.sheet4},
  }};
  const platform::Result<platform::CodePage> code_page = platform::CodePage::FromEnvironment();
  if (!code_page.ok()) {
    exchange.messages.Show(BoxCaption::Application,
                           code_page.error() + " No workbook was written.");
    return outcome;
  }
  std::string refusal;
  std::array<std::vector<SheetCell>, 3> config_cells;
  for (std::size_t k = 0; k < layout.size(); ++k) {
    std::optional<std::vector<SheetCell>> cells =
        LayOutConfigSheet(*layout[k].second, layout[k].first, code_page.value(), refusal);
    if (!cells) {
      exchange.messages.Show(BoxCaption::Application, refusal);
      return outcome;
    }
    config_cells[k] = std::move(*cells);
  }

  const Variant missing = MissingArgument();
  ExcelApplication app;
  if (StartExcel(app, exchange.messages) != workbook::StartResult::kStarted)
    return outcome;
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
    const std::optional<std::vector<std::uint8_t>> stream =
        UnpackPreset(exchange, image::SizedData(*preset));
    if (!stream) {
      hand_over();
      return outcome;
    }
    WritePresetTable(*stream, sheet, cells, highlighter, exchange.messages);
  }

  // The three default sheets hold the model's three sheet records.
  for (std::size_t k = 0; k < layout.size(); ++k) {
    sheet.AttachDispatch(sheets.GetItem(Variant::Text("sheet" + std::to_string(k + 1))));
    sheet.SetName(layout[k].first);
    cells.AttachDispatch(sheet.GetCells());
    WriteConfigSheet(config_cells[k], sheet, cells, highlighter);
  }

  hand_over();
  book.SaveAs(Variant::Text(outcome.workbook_path), missing, missing, missing, missing, missing, 0,
              missing, missing, missing, missing);
  platform::SetFileHidden(NativeFilePath(outcome.workbook_path));
  outcome.result = ExportResult::kSaved;
  return outcome;
}

}  // namespace nuv::exchange
