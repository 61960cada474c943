#include "workbook/excel_operations.h"

#include <cstdio>

#include "platform/errors.h"
#include "workbook/automation_registry.h"

namespace nuv::workbook {

Variant MissingArgument() {
  return Variant::Error(DISP_E_PARAMNOTFOUND);
}

StartResult StartExcel(ExcelApplication& app, Messages& messages) {
  if (app.CreateDispatch(kExcelProgId) == CreateResult::kCreated)
    return StartResult::kStarted;
  messages.Show(BoxCaption::Application, kCannotStartExcel);
  return StartResult::kNotStarted;
}

void FindSheetByName(const ExcelWorksheets& sheets, std::string_view name, std::int16_t first,
                     ExcelWorksheet& sheet) {
  // The walk ends past the last sheet; the user renamed or deleted the sheet,
  // so the error names it rather than the position.
  auto probe = [&](std::int16_t position) {
    try {
      sheet.AttachDispatch(sheets.GetItem(Variant::I2(position)));
    } catch (const AutomationError&) {
      throw AutomationError("The workbook has no sheet named \"" + std::string(name) + "\".");
    }
  };
  probe(first);
  std::int16_t position = 0;
  while (sheet.GetName() != name)
    probe(++position);
}

UsedExtent GetUsedExtent(const ExcelWorksheet& sheet) {
  ExcelRange used(sheet.GetUsedRange());
  ExcelRange rows(used.GetRows());
  ExcelRange columns(rows.GetColumns());
  return UsedExtent{static_cast<std::uint32_t>(rows.GetCount()),
                    static_cast<std::uint32_t>(columns.GetCount())};
}

ValueArray ReadSheetValues(const ExcelWorksheet& sheet, std::uint32_t rows, std::uint32_t columns) {
  const std::optional<std::string> corner = FormatCellName(columns, rows);
  if (!corner)
    throw AutomationError("Cannot read the sheet: the cell in column " + std::to_string(columns) +
                          ", row " + std::to_string(rows) + " has no A1 name.");
  ExcelRange range(sheet.GetRange(Variant::Text("A1"), Variant::Text(*corner)));
  return ValueArray::FromVariant(range.GetValue2());
}

std::optional<std::string> FormatCellName(std::uint32_t column, std::uint32_t row) {
  if (column == 0 || row == 0 || column > 702)
    return std::nullopt;
  std::uint32_t q = column / 26;
  std::uint32_t r = column % 26;
  char text[32];
  if (q == 0)
    std::snprintf(text, sizeof text, "%c%u", static_cast<char>(64 + column), row);
  else if (r != 0)
    std::snprintf(text, sizeof text, "%c%c%u", static_cast<char>(64 + q), static_cast<char>(64 + r),
                  row);
  else if (q == 1)
    std::snprintf(text, sizeof text, "Z%u", row);
  else
    std::snprintf(text, sizeof text, "%cZ%u", static_cast<char>(63 + q), row);
  return std::string(text);
}

void CloseAndQuit(const ExcelWorkbook& workbook, const ExcelApplication& app) {
  workbook.Close(Variant::I2(0), MissingArgument(), MissingArgument());
  app.Quit();
}

}  // namespace nuv::workbook
