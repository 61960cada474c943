// nuv xls dump FILE / nuv xls make OUT: an Excel 97-2003 workbook as lines
// of text and back, for scripts around the workbook and for tests.
#include <cstdio>
#include <iostream>
#include <iterator>
#include <string>

#include "command.h"
#include "platform/errors.h"
#include "workbook/cell_listing.h"
#include "workbook/xls_file.h"

namespace nuv::cli {
namespace {

int Dump(std::span<const std::string> args);
int Make(std::span<const std::string> args);

const Command kDump = {
    "xls dump", "FILE",
    "prints every sheet and every non-empty cell of an .xls workbook, one a line:\n"
    "      SHEET<TAB>ROW<TAB>COLUMN<TAB>TYPE<TAB>VALUE (a sheet's own line has TYPE sheet and\n"
    "      no row, column or value); TYPE is number, text, bool (TRUE/FALSE), error (#DIV/0!\n"
    "      ...), formula-number, formula-text, formula-bool, formula-error (a formula's cached\n"
    "      result) or fill (a palette colour index 1-56); \\\\ \\t \\n \\r escape texts",
    "nothing", &Dump};
const Command kMake = {
    "xls make", "OUT",
    "writes the .xls workbook OUT from lines in the form `nuv xls dump` prints, read from\n"
    "      standard input (formula-* cells become formulas of their value)",
    "OUT", &Make};

CommandRegistration register_dump(kDump);
CommandRegistration register_make(kMake);

int Dump(std::span<const std::string> args) {
  if (args.size() != 1)
    return UsageError(kDump, "expected one file");
  try {
    std::string listing = workbook::ListWorkbook(workbook::ReadXlsFile(args[0]));
    std::fwrite(listing.data(), 1, listing.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
  } catch (const CommandError& e) {
    std::fprintf(stderr, "nuv: %s\n", e.what());
    return 1;
  }
}

int Make(std::span<const std::string> args) {
  if (args.size() != 1)
    return UsageError(kMake, "expected one output file");
  std::string text((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
  StderrMessages messages;
  workbook::WorkbookData book;
  if (!workbook::ParseListing(text, book, messages))
    return 1;
  try {
    workbook::WriteXlsFile(args[0], book);
    return 0;
  } catch (const CommandError& e) {
    std::fprintf(stderr, "nuv: %s\n", e.what());
    return 1;
  }
}

}  // namespace
}  // namespace nuv::cli
