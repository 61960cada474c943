#include "workbook/import_cells.h"

#include "workbook/exchange_numbers.h"

namespace nuv::workbook {

const std::string& CellText::Read(const ValueArray& values, std::uint32_t row,
                                  std::uint32_t column) {
  const Variant value = values.GetElement(row, column);
  switch (value.type()) {
    case VT_EMPTY:
      text_ = "NULL";
      break;
    case VT_R8:
      text_ = TruncatedNumberText(value.AsDouble());
      break;
    case VT_BSTR:
      text_ = value.AsUtf8();
      break;
    default:
      break;
  }
  return text_;
}

}  // namespace nuv::workbook
