#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/code_page.h"
#include "workbook/variant.h"

namespace nuv::exchange {

// The text buffer through which the import reads cells: one buffer, reused
// from cell to cell for the whole import, so a cell of a type that gives no
// text reads as the cell read before it.
class CellText {
 public:
  // Texts of text cells are read in `code_page`, the code page of the
  // image's and the script's texts that they are compared with and written
  // as.
  explicit CellText(const platform::CodePage& code_page) : code_page_(code_page) {}

  // Reads the cell (row, column) of `values` as text:
  //  - empty: "NULL";
  //  - number: the decimal text of its truncated value ("%lld");
  //  - text: ReadText;
  //  - anything else (a boolean, an error value): the buffer stays as it is.
  // The whole text is kept: nothing a cell holds is cut. Indices outside
  // `values` raise nuv::AutomationError.
  const std::string& Read(const workbook::ValueArray& values, std::uint32_t row,
                          std::uint32_t column);

  // Reads a text cell: its text in the code page. A character that the code
  // page has no bytes for reads as "?", as Windows reads it, and the text is
  // then not exact(): it names nothing of the script and is no value to
  // write.
  const std::string& ReadText(const workbook::Variant& text_cell);

  void Set(std::string text) {
    text_ = std::move(text);
    exact_ = true;
  }
  const std::string& text() const { return text_; }
  // False when the buffer holds a text cell's text with "?" in place of
  // characters the code page does not hold.
  bool exact() const { return exact_; }
  const platform::CodePage& code_page() const { return code_page_; }

 private:
  platform::CodePage code_page_;
  std::string text_;
  bool exact_ = true;
};

// The cell text buffer of the original tool held 256 bytes; a text that the
// import copies into a block is never longer than that, its terminating
// zero byte included.
inline constexpr std::size_t kCellTextBuffer = 256;

}  // namespace nuv::exchange
