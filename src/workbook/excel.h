#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "workbook/dispatch.h"
#include "workbook/excel_dispids.h"

namespace nuv::workbook {

// Handles on the objects of the spreadsheet's object model. Each holds one
// object reference and releases it when refilled or destroyed (see
// DispatchDriver). A member that returns an object returns its reference for
// the caller to attach to a handle at once:
//   ExcelWorkbooks books;
//   books.AttachDispatch(app.GetWorkbooks());
// Every member is invoked by its fixed member id with its arguments in the
// order the object model declares them; omitted optional arguments are
// passed as MissingArgument(). Failures raise nuv::AutomationError.

class ExcelApplication : public DispatchDriver {
 public:
  using DispatchDriver::DispatchDriver;
  DispatchRef GetWorkbooks() const;
  void SetVisible(bool visible) const;
  void SetUserControl(bool user_control) const;
  void Quit() const;
};

class ExcelWorkbooks : public DispatchDriver {
 public:
  using DispatchDriver::DispatchDriver;
  // The file name as 8-bit text, then the fourteen optional arguments by
  // value.
  DispatchRef Open(std::string_view filename, Variant update_links, Variant read_only,
                   Variant format, Variant password, Variant write_res_password,
                   Variant ignore_read_only_recommended, Variant origin, Variant delimiter,
                   Variant editable, Variant notify, Variant converter, Variant add_to_mru,
                   Variant local, Variant corrupt_load) const;
  DispatchRef Add(const Variant& template_) const;
};

class ExcelWorkbook : public DispatchDriver {
 public:
  using DispatchDriver::DispatchDriver;
  DispatchRef GetWorksheets() const;
  void SaveAs(const Variant& filename, const Variant& file_format, const Variant& password,
              const Variant& write_res_password, const Variant& read_only_recommended,
              const Variant& create_backup, std::int32_t access_mode,
              const Variant& conflict_resolution, const Variant& add_to_mru,
              const Variant& text_codepage, const Variant& text_visual_layout) const;
  void Close(Variant save_changes, Variant filename, Variant route_workbook) const;
};

class ExcelWorksheets : public DispatchDriver {
 public:
  using DispatchDriver::DispatchDriver;
  // By position (a VT_I2 counted from 1) or by name (VT_BSTR).
  DispatchRef GetItem(const Variant& index) const;
  DispatchRef Add(const Variant& before, const Variant& after, const Variant& count,
                  const Variant& type) const;
};

class ExcelWorksheet : public DispatchDriver {
 public:
  using DispatchDriver::DispatchDriver;
  // The name as 8-bit text.
  std::string GetName() const;
  void SetName(std::string_view name) const;
  DispatchRef GetCells() const;
  DispatchRef GetRange(const Variant& cell1, const Variant& cell2) const;
  DispatchRef GetUsedRange() const;
};

class ExcelRange : public DispatchDriver {
 public:
  using DispatchDriver::DispatchDriver;
  DispatchRef GetRows() const;
  DispatchRef GetColumns() const;
  std::int32_t GetCount() const;
  // One value for a single cell, a ValueArray (VT_VARIANT_ARRAY) for more.
  Variant GetValue2() const;
  // Writes one cell, counted from the range's top left corner.
  void SetItem(const Variant& row_index, const Variant& column_index, const Variant& value) const;
  DispatchRef GetInterior() const;
};

class ExcelInterior : public DispatchDriver {
 public:
  using DispatchDriver::DispatchDriver;
  void SetColorIndex(const Variant& color_index) const;
};

}  // namespace nuv::workbook
