#include "workbook/excel.h"

#include "workbook/utf16.h"

namespace nuv::workbook {

using enum InvokeKind;

DispatchRef ExcelApplication::GetWorkbooks() const {
  return GetObject(dispid::kApplicationWorkbooks, PropertyGet);
}
void ExcelApplication::SetVisible(bool visible) const {
  InvokeHelper(dispid::kApplicationVisible, PropertyPut, VT_EMPTY, {Variant::Bool(visible)});
}
void ExcelApplication::SetUserControl(bool user_control) const {
  InvokeHelper(dispid::kApplicationUserControl, PropertyPut, VT_EMPTY,
               {Variant::Bool(user_control)});
}
void ExcelApplication::Quit() const {
  InvokeHelper(dispid::kApplicationQuit, Method, VT_EMPTY);
}

DispatchRef ExcelWorkbooks::Open(std::string_view filename, Variant update_links, Variant read_only,
                                 Variant format, Variant password, Variant write_res_password,
                                 Variant ignore_read_only_recommended, Variant origin,
                                 Variant delimiter, Variant editable, Variant notify,
                                 Variant converter, Variant add_to_mru, Variant local,
                                 Variant corrupt_load) const {
  return GetObject(
      dispid::kWorkbooksOpen, Method,
      {Variant::Text(filename), std::move(update_links), std::move(read_only), std::move(format),
       std::move(password), std::move(write_res_password), std::move(ignore_read_only_recommended),
       std::move(origin), std::move(delimiter), std::move(editable), std::move(notify),
       std::move(converter), std::move(add_to_mru), std::move(local), std::move(corrupt_load)});
}
DispatchRef ExcelWorkbooks::Add(const Variant& template_) const {
  return GetObject(dispid::kWorkbooksAdd, Method, {template_});
}

DispatchRef ExcelWorkbook::GetWorksheets() const {
  return GetObject(dispid::kWorkbookWorksheets, PropertyGet);
}
void ExcelWorkbook::SaveAs(const Variant& filename, const Variant& file_format,
                           const Variant& password, const Variant& write_res_password,
                           const Variant& read_only_recommended, const Variant& create_backup,
                           std::int32_t access_mode, const Variant& conflict_resolution,
                           const Variant& add_to_mru, const Variant& text_codepage,
                           const Variant& text_visual_layout) const {
  InvokeHelper(dispid::kWorkbookSaveAs, Method, VT_EMPTY,
               {filename, file_format, password, write_res_password, read_only_recommended,
                create_backup, Variant::I4(access_mode), conflict_resolution, add_to_mru,
                text_codepage, text_visual_layout});
}
void ExcelWorkbook::Close(Variant save_changes, Variant filename, Variant route_workbook) const {
  InvokeHelper(dispid::kWorkbookClose, Method, VT_EMPTY,
               {std::move(save_changes), std::move(filename), std::move(route_workbook)});
}

DispatchRef ExcelWorksheets::GetItem(const Variant& index) const {
  return GetObject(dispid::kWorksheetsItem, PropertyGet, {index});
}
DispatchRef ExcelWorksheets::Add(const Variant& before, const Variant& after, const Variant& count,
                                 const Variant& type) const {
  return GetObject(dispid::kWorksheetsAdd, Method, {before, after, count, type});
}

std::string ExcelWorksheet::GetName() const {
  return Utf16ToUtf8(InvokeHelper(dispid::kWorksheetName, PropertyGet, VT_BSTR).AsText());
}
void ExcelWorksheet::SetName(std::string_view name) const {
  InvokeHelper(dispid::kWorksheetName, PropertyPut, VT_EMPTY, {Variant::Text(name)});
}
DispatchRef ExcelWorksheet::GetCells() const {
  return GetObject(dispid::kWorksheetCells, PropertyGet);
}
DispatchRef ExcelWorksheet::GetRange(const Variant& cell1, const Variant& cell2) const {
  return GetObject(dispid::kWorksheetRange, PropertyGet, {cell1, cell2});
}
DispatchRef ExcelWorksheet::GetUsedRange() const {
  return GetObject(dispid::kWorksheetUsedRange, PropertyGet);
}

DispatchRef ExcelRange::GetRows() const {
  return GetObject(dispid::kRangeRows, PropertyGet);
}
DispatchRef ExcelRange::GetColumns() const {
  return GetObject(dispid::kRangeColumns, PropertyGet);
}
std::int32_t ExcelRange::GetCount() const {
  return static_cast<std::int32_t>(InvokeHelper(dispid::kRangeCount, PropertyGet, VT_I4).AsInt());
}
Variant ExcelRange::GetValue2() const {
  return InvokeHelper(dispid::kRangeValue2, PropertyGet, VT_VARIANT);
}
void ExcelRange::SetItem(const Variant& row_index, const Variant& column_index,
                         const Variant& value) const {
  InvokeHelper(dispid::kRangeItem, PropertyPut, VT_EMPTY, {row_index, column_index, value});
}
DispatchRef ExcelRange::GetInterior() const {
  return GetObject(dispid::kRangeInterior, PropertyGet);
}

void ExcelInterior::SetColorIndex(const Variant& color_index) const {
  InvokeHelper(dispid::kInteriorColorIndex, PropertyPut, VT_EMPTY, {color_index});
}

}  // namespace nuv::workbook
