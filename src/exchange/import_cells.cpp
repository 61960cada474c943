#include "exchange/import_cells.h"

#include "exchange/exchange_numbers.h"

namespace nuv::exchange {

using workbook::ValueArray;
using workbook::Variant;
using workbook::VT_BSTR;
using workbook::VT_EMPTY;
using workbook::VT_R8;

const std::string& CellText::Read(const ValueArray& values, std::uint32_t row,
                                  std::uint32_t column) {
  const Variant value = values.GetElement(row, column);
  switch (value.type()) {
    case VT_EMPTY:
      Set("NULL");
      break;
    case VT_R8:
      Set(TruncatedNumberText(value.AsDouble()));
      break;
    case VT_BSTR:
      ReadText(value);
      break;
    default:
      break;
  }
  return text_;
}

const std::string& CellText::ReadText(const Variant& text_cell) {
  const std::u16string& text = text_cell.AsText();
  if (std::optional<std::string> converted = code_page_.FromUtf16(text)) {
    Set(std::move(*converted));
    return text_;
  }
  exact_ = false;
  text_.clear();
  for (std::size_t i = 0; i < text.size();) {
    // A character outside the basic plane takes two units.
    const bool pair = i + 1 < text.size() && text[i] >= 0xD800 && text[i] <= 0xDBFF &&
                      text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
    const std::size_t units = pair ? 2 : 1;
    const std::optional<std::string> piece =
        code_page_.FromUtf16(std::u16string_view(text).substr(i, units));
    text_ += piece.value_or("?");
    i += units;
  }
  return text_;
}

}  // namespace nuv::exchange
