// nuv xls dump FILE / nuv xls make OUT: an Excel 97-2003 workbook as lines
// of text and back, for scripts around the workbook and for tests.
#include <cstdio>
#include <iostream>
#include <iterator>
#include <string>

#include "command.h"
#include "workbook/cell_listing.h"
#include "workbook/xls_file.h"

namespace nuv::cli {
namespace {

Outcome Dump(const Arguments& args, Messages& messages);
Outcome Make(const Arguments& args, Messages& messages);

const Command kDump = {
    .name = "xls dump",
    .usage = "FILE",
    .summary =
        "prints every sheet and every non-empty cell of an .xls workbook, one a line:\n"
        "      SHEET<TAB>ROW<TAB>COLUMN<TAB>TYPE<TAB>VALUE (a sheet's own line has TYPE sheet and\n"
        "      no row, column or value); TYPE is number, text, bool (TRUE/FALSE), error (#DIV/0!\n"
        "      ...), formula-number, formula-text, formula-bool, formula-error (a formula's "
        "cached\n"
        "      result) or fill (a palette colour index 1-56); \\\\ \\t \\n \\r escape texts",
    .modifies = "nothing",
    .operands = {"FILE"},
    .run = &Dump};
const Command kMake = {
    .name = "xls make",
    .usage = "OUT",
    .summary =
        "writes the .xls workbook OUT from lines in the form `nuv xls dump` prints, read from\n"
        "      standard input (formula-* cells become formulas of their value)",
    .modifies = "OUT",
    .operands = {"OUT"},
    .run = &Make};

CommandRegistration register_dump(kDump);
CommandRegistration register_make(kMake);

Outcome Dump(const Arguments& args, Messages&) {
  const std::string listing = workbook::ListWorkbook(workbook::ReadXlsFile(args.operands[0]));
  std::fwrite(listing.data(), 1, listing.size(), stdout);
  return Outcome::Done();
}

Outcome Make(const Arguments& args, Messages& messages) {
  std::string text((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
  const std::optional<workbook::WorkbookData> book = workbook::ParseListing(text, messages);
  if (!book)
    return Outcome::Failed();
  workbook::WriteXlsFile(args.operands[0], *book);
  return Outcome::Done();
}

}  // namespace
}  // namespace nuv::cli
