#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "exchange/exchange.h"
#include "exchange/import_cells.h"
#include "toolcfg/tool_config.h"
#include "workbook/variant.h"

namespace nuv::exchange {

enum class ImportResult { kImported, kFailed };
enum class SheetResult {
  kApplied,
  kBlockProblem,  // a block is missing, or a file cannot be applied
  kValueOutOfRange,
};

// Largest content a hardware-info block can be given: the buffer that
// receives the 240 bytes of a hardware info file.
inline constexpr std::size_t kHwInfoBuffer = 5120;

// Reads the edited workbook at `workbook_path` in a new, invisible
// instance of the spreadsheet application and puts it into the blocks:
//  1. "Program" (first position probed: 1): the preset table, packed into
//     the "preset" block (PackPresetSheet); whether that worked is not
//     looked at, the import goes on;
//  2. "IR_FP_Key" (2) and "Sys_Config" (3): ApplyConfigSheet with the
//     model's sheet2 and sheet3 records;
//  3. "File_Path" (3): ApplyFilePathSheet.
// A sheet whose used range is a single cell is skipped unread. The blocks
// change as the sheets are read, so what was applied before a failure
// stays applied, and items keep the numbers read.
//
// Cell texts are read in the ANSI code page that NUV_CODEPAGE chooses
// (platform::CodePage); a value that names none gives its message and
// kFailed before anything is started.
//
// Results: kImported; kFailed when the application cannot be started
// ("Couldn't start Excel and get Application object.") or a sheet failed
// (its message has been shown). On every return after the application started, the workbook
// is closed without saving and the application quits. A failing
// automation call (no such file, a sheet missing, column B read on a sheet
// one column wide) raises nuv::AutomationError, and the application is
// then neither closed nor told to quit.
[[nodiscard]] ImportResult ImportWorkbook(WorkbookExchange& exchange,
                                          std::string_view workbook_path);

// Applies a configuration sheet (its values from A1, `rows` rows) to the
// blocks of one sheet record. Column A names a block ("*NAME": the first
// block of `blocks` with that name becomes the current one, or none) or an
// item of the current block, in `text`'s code page (a text that the code
// page cannot hold names nothing); column B holds the item's value:
//  - a number cell that still holds the double of the item's value, as the
//    export wrote it, keeps that exact value (ItemNumberFromCell); another
//    number is truncated toward zero and kept as a 64-bit pattern in the
//    item's number_value, and one beyond 2^53, which the cell may have
//    rounded, gives a message and kValueOutOfRange; empty or text leaves a
//    number item's value as it was; the value is then written as a bit field
//    (WriteImportBitField) at the block's start offset;
//  - a range item (type 2) outside min..max (taken as unsigned 32-bit
//    numbers) gives "ERROR!! [NAME]'s value is out of range,please check
//    it!" and kValueOutOfRange;
//  - a text item gets its text with a terminating zero byte at byte
//    start offset + bit_offset / 8: the text of a text cell in the code
//    page, nothing for an empty one, and the decimal text of a number cell.
//    A text with characters the code page has no bytes for gives a message
//    and kValueOutOfRange. The text is cut, with a message, to the room it has (never
//    inside a character): the item's width (bit_length / 8 bytes, when it
//    gives one), the end of the block and the 256-byte cell buffer.
//    A boolean or an error value changes nothing, and says so.
// The image block of every item row is looked up by name and id first: a
// missing one gives the lookup's message and kBlockProblem. An item that
// lies outside its block gives a message and kBlockProblem too, before
// anything of it is written.
// Rows before any "*" row, rows of unknown blocks and unknown item names
// are skipped.
[[nodiscard]] SheetResult ApplyConfigSheet(WorkbookExchange& exchange, CellText& text,
                                           const workbook::ValueArray& values, std::uint32_t rows,
                                           std::vector<toolcfg::ConfigBlock>& blocks);

// Applies the "File_Path" sheet: for blocks of the model's sheet4 record
// with em 2 or 3, every row from the block's "*" row on whose column B
// holds a text names a file (the last one wins):
//  - em 3: the block's data becomes the file's bytes and its size their
//    number; a file that cannot be opened leaves the block as it was;
//  - em 2: the hardware info file is parsed; the block keeps its size and
//    its data becomes the 240 bytes of the file's content followed by
//    zeros (or their start, for a smaller block). A file
//    that cannot be parsed gives "Parse hw info file failed" and
//    kBlockProblem; one
//    that cannot be opened leaves the block as it was, with a message; a
//    block larger than the 5,120 bytes such content may have is refused
//    with a message and kBlockProblem.
// A file name with characters that the code page has no bytes for gives a
// message and kBlockProblem. A missing image block gives the lookup's
// message and kBlockProblem.
[[nodiscard]] SheetResult ApplyFilePathSheet(WorkbookExchange& exchange, CellText& text,
                                             const workbook::ValueArray& values,
                                             std::uint32_t rows);

}  // namespace nuv::exchange
