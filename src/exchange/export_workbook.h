#pragma once

#include <cstdint>
#include <string>

#include "exchange/exchange.h"
#include "workbook/excel.h"

namespace nuv::exchange {

// The colour index of highlighted rows: yellow.
inline constexpr std::uint8_t kHighlightColor = 6;

struct ExportOptions {
  // The workbook to save; empty for the current directory's "preset.xls"
  // (DefaultWorkbookPath).
  std::string workbook_path;
  // Make the application visible and hand it to the user, as the New
  // Format flow does; a batch export leaves this off, so nothing is opened.
  bool hand_to_user = true;
};

// Writes the configuration to a new workbook and saves it:
//  "Program"     the image's preset table (the "preset" block, unpacked by
//                lzma), starred rows highlighted across its column count n;
//  "IR_FP_Key"   the model's sheet2 record,
//  "Sys_Config"  its sheet3 record,
//  "File_Path"   its sheet4 record: titles in row 1, then per block a row
//                "*NAME" and one row per item (name; value; min and max for
//                range items; the description in column E, or D for items
//                of other types, when the block's em is 1). Block rows are
//                highlighted across n columns, except on "File_Path".
// Names, titles, descriptions and text values are read in the ANSI code
// page that NUV_CODEPAGE chooses (platform::CodePage), and numbers are
// written as doubles, which the import knows again (ItemNumberFromCell).
//
// Results: kSaved, the workbook was saved as the outcome's workbook_path
// (and, handed to the user, left open in the visible application);
// kNotSaved, before anything is started when
// NUV_CODEPAGE names no code page or a text is no text of the code page
// (a message says which), or when the application could not be started
// ("Couldn't start Excel and get Application object.") or the preset block
// could not be unpacked (the application is then made visible with the
// unsaved workbook, when it is handed to the user). An image without a
// "preset" block is exported without a table, after the lookup's message.
// Where the table gives no width (no table, or a column count of 0) rows
// are not highlighted, and a message says so once. A failing automation
// call raises nuv::AutomationError and nothing further is written or saved.
enum class ExportResult { kSaved, kNotSaved };
struct [[nodiscard]] ExportOutcome {
  ExportResult result = ExportResult::kNotSaved;
  std::string workbook_path{};  // the path the workbook is saved as
};
ExportOutcome ExportWorkbook(WorkbookExchange& exchange, const ExportOptions& options = {});

// Colours the cells from (row, 1) to (row, columns) of the sheet with
// `color`, through the range named by FormatCellName of both corners. A
// row of 0 columns has no range, so nothing is coloured: kNoRange.
enum class HighlightResult { kColoured, kNoRange };
[[nodiscard]] HighlightResult HighlightRow(std::uint32_t row, std::uint32_t columns,
                                           std::uint8_t color,
                                           const workbook::ExcelWorksheet& sheet);

}  // namespace nuv::exchange
