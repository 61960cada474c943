#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "workbook/variant.h"

namespace nuv::workbook {

// The text buffer through which the import reads cells: one buffer, reused
// from cell to cell for the whole import, so a cell of a type that gives no
// text reads as the cell read before it.
class CellText {
 public:
  // Reads the cell (row, column) of `values` as text:
  //  - empty: "NULL";
  //  - number: the decimal text of its truncated value ("%lld");
  //  - text: the cell's text in the tool's 8-bit text;
  //  - anything else (a boolean, an error value): the buffer stays as it is.
  // The whole text is kept: nothing a cell holds is cut. Indices outside
  // `values` raise nuv::AutomationError.
  const std::string& Read(const ValueArray& values, std::uint32_t row, std::uint32_t column);

  void Set(std::string text) { text_ = std::move(text); }
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

// The cell text buffer of the original tool held 256 bytes; a text that the
// import copies into a block is never longer than that, its terminating
// zero byte included.
inline constexpr std::size_t kCellTextBuffer = 256;

}  // namespace nuv::workbook
