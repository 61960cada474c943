// Feeds arbitrary bytes to the .xls reader. A first byte below 0x80 hands
// the rest to the BIFF8 reader directly, so the fuzzer reaches the records
// without having to build a compound file first; otherwise the whole input
// is read as a file. Damaged input must end in an automation error, never in
// a crash, a hang or a read outside the input.
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/errors.h"
#include "workbook/biff_reader.h"
#include "workbook/biff_writer.h"
#include "workbook/xls_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0)
    return 0;
  std::span<const std::uint8_t> input(data, size);
  try {
    nuv::workbook::WorkbookData book =
        data[0] < 0x80 ? nuv::workbook::ReadBiff8(input.subspan(1)) : nuv::workbook::ReadXls(input);
    // Whatever was read must write out again.
    (void)nuv::workbook::WriteBiff8(book);
  } catch (const nuv::AutomationError&) {
  }
  return 0;
}
