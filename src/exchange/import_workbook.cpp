#include "exchange/import_workbook.h"

#include <algorithm>
#include <optional>
#include <string>
#include <system_error>

#include "common/line_reader.h"
#include "exchange/exchange_numbers.h"
#include "exchange/import_bit_field.h"
#include "exchange/preset_packing.h"
#include "exchange/preset_table.h"
#include "legacy/hw_info.h"
#include "platform/input_file.h"
#include "toolcfg/block_lookup.h"
#include "workbook/excel_operations.h"
#include "workbook/utf16.h"

namespace nuv::exchange {

using workbook::CloseAndQuit;
using workbook::CodePageTextForMessage;
using workbook::ExcelApplication;
using workbook::ExcelWorkbook;
using workbook::ExcelWorkbooks;
using workbook::ExcelWorksheet;
using workbook::ExcelWorksheets;
using workbook::FindSheetByName;
using workbook::GetUsedExtent;
using workbook::MissingArgument;
using workbook::ReadSheetValues;
using workbook::StartExcel;
using workbook::UsedExtent;
using workbook::ValueArray;
using workbook::Variant;
using workbook::VT_BSTR;
using workbook::VT_EMPTY;
using workbook::VT_R8;

namespace {

constexpr std::uint8_t kBlockNameLength = 8;
constexpr std::uint8_t kHwInfoFile = 2;
constexpr std::uint8_t kBinaryFile = 3;

// A name of the script, as messages show it.
std::string Bracketed(const platform::CodePage& code_page, std::string_view name) {
  std::string text = "[";
  text += CodePageTextForMessage(code_page, name);
  text += ']';
  return text;
}

bool StartsWithStar(const std::string& text) {
  return !text.empty() && text.front() == '*';
}

// The first block of `blocks` whose name is the text after the "*".
template <typename Blocks>
auto FindConfigBlock(Blocks& blocks, std::string_view starred) -> decltype(&blocks.front()) {
  const std::string_view name = starred.substr(1);
  auto it = std::find_if(blocks.begin(), blocks.end(),
                         [&](const toolcfg::ConfigBlock& block) { return block.name == name; });
  return it == blocks.end() ? nullptr : &*it;
}

image::BlockRecord* FindImageBlock(WorkbookExchange& exchange, const toolcfg::ConfigBlock& block) {
  return toolcfg::FindBlockByNameAndId(exchange.table, block.name, kBlockNameLength, block.block_id,
                                       exchange.messages);
}

SheetResult ItemOutside(WorkbookExchange& exchange, const platform::CodePage& code_page,
                        const toolcfg::ConfigBlock& block, const toolcfg::ConfigItem& item,
                        std::size_t size) {
  exchange.messages.Show(BoxCaption::Application, Bracketed(code_page, item.name) +
                                                      " lies outside the " + std::to_string(size) +
                                                      " bytes of block " +
                                                      Bracketed(code_page, block.name) +
                                                      ", so the workbook cannot be applied to it.");
  return SheetResult::kBlockProblem;
}

SheetResult OutOfRange(WorkbookExchange& exchange, const platform::CodePage& code_page,
                       const toolcfg::ConfigItem& item) {
  exchange.messages.Show(BoxCaption::Application, "ERROR!! " + Bracketed(code_page, item.name) +
                                                      "'s value is out of range,please check it!");
  return SheetResult::kValueOutOfRange;
}

SheetResult NotExact(WorkbookExchange& exchange, const platform::CodePage& code_page,
                     const toolcfg::ConfigItem& item, double number) {
  exchange.messages.Show(BoxCaption::Application,
                         Bracketed(code_page, item.name) + "'s new value " +
                             TruncatedNumberText(number) +
                             " needs more than the 53 bits a spreadsheet cell holds exactly, so "
                             "the number typed is not known exactly and was not written; please "
                             "check it.");
  return SheetResult::kValueOutOfRange;
}

// Says why a cell's text is not read, when the code page has no bytes for
// some of its characters.
std::string NoBytesFor(const platform::CodePage& code_page) {
  return "has characters that code page " + std::to_string(code_page.number()) +
         " has no bytes for (NUV_CODEPAGE chooses the code page)";
}

// Copies a text item's value, with its terminating zero byte, into the
// block, within the room the item has.
SheetResult WriteText(WorkbookExchange& exchange, image::BlockRecord& record,
                      const toolcfg::ConfigBlock& block, const toolcfg::ConfigItem& item,
                      const CellText& value) {
  const std::string& text = value.text();
  const platform::CodePage& code_page = value.code_page();
  std::span<std::uint8_t> data = record.data.mutable_bytes();
  const std::int64_t start = std::int64_t{block.start_offset} + item.bit_offset / 8;
  if (start < 0 || static_cast<std::uint64_t>(start) >= data.size())
    return ItemOutside(exchange, code_page, block, item, data.size());
  std::size_t room = data.size() - static_cast<std::size_t>(start);
  std::string limit = "the end of block " + Bracketed(code_page, block.name);
  if (item.bit_length / 8 > 0 && static_cast<std::size_t>(item.bit_length / 8) < room) {
    room = static_cast<std::size_t>(item.bit_length / 8);
    limit = "its width";
  }
  if (kCellTextBuffer < room) {
    room = kCellTextBuffer;
    limit = "the cell text buffer";
  }
  std::size_t length = text.size();
  if (length + 1 > room) {
    length = code_page.WholeCharacters(text, room - 1);
    exchange.messages.Show(BoxCaption::Application,
                           "The text for " + Bracketed(code_page, item.name) + " takes " +
                               std::to_string(text.size() + 1) + " bytes, more than the " +
                               std::to_string(room) + " that " + limit +
                               " leaves it; only its first " + std::to_string(length) +
                               " bytes were written.");
  }
  const auto to = data.begin() + start;
  std::copy_n(text.begin(), length, to);
  to[static_cast<std::ptrdiff_t>(length)] = 0;
  return SheetResult::kApplied;
}

// Reads column B of an item row into the item and writes the item.
SheetResult ApplyItem(WorkbookExchange& exchange, CellText& text, const Variant& cell,
                      image::BlockRecord& record, const toolcfg::ConfigBlock& block,
                      toolcfg::ConfigItem& item) {
  const bool number_item = item.is_number();
  const platform::CodePage& code_page = text.code_page();
  switch (cell.type()) {
    case VT_EMPTY:
      text.Set("");
      break;
    case VT_R8: {
      const std::optional<std::uint64_t> number =
          ItemNumberFromCell(cell.AsDouble(), item.number_value);
      if (number)
        item.number_value = *number;
      if (!number_item) {
        // The text of a number is what the user sees in the cell.
        text.Set(TruncatedNumberText(cell.AsDouble()));
        exchange.messages.Show(BoxCaption::Application,
                               Bracketed(code_page, item.name) +
                                   " is a text item and its value cell holds a number; the "
                                   "number's decimal text \"" +
                                   text.text() + "\" was written.");
      } else if (!number) {
        return NotExact(exchange, code_page, item, cell.AsDouble());
      }
      break;
    }
    case VT_BSTR:
      text.ReadText(cell);
      if (!number_item && !text.exact()) {
        exchange.messages.Show(BoxCaption::Application,
                               "The text for " + Bracketed(code_page, item.name) + ", \"" +
                                   cell.AsUtf8() + "\", " + NoBytesFor(code_page) +
                                   ", so it cannot be written to the image; please check it.");
        return SheetResult::kValueOutOfRange;
      }
      break;
    default:
      if (!number_item) {
        exchange.messages.Show(BoxCaption::Application,
                               Bracketed(code_page, item.name) +
                                   " is a text item and its value cell holds neither a text nor "
                                   "a number; the item was left as it was.");
        return SheetResult::kApplied;
      }
      break;
  }

  if (!number_item)
    return WriteText(exchange, record, block, item, text);
  if (item.type == toolcfg::ItemType::Range &&
      (item.number_value < static_cast<std::uint32_t>(item.min) ||
       item.number_value > static_cast<std::uint32_t>(item.max)))
    return OutOfRange(exchange, code_page, item);
  std::span<std::uint8_t> data = record.data.mutable_bytes();
  const std::int64_t position = std::int64_t{block.start_offset} * 8 + item.bit_offset;
  if (WriteImportBitField(data, position, item.bit_length, item.number_value) !=
      BitFieldWrite::kWritten)
    return ItemOutside(exchange, code_page, block, item, data.size());
  return SheetResult::kApplied;
}

// Replaces a hardware-info block by the content of a hardware info file.
SheetResult ApplyHwInfoFile(WorkbookExchange& exchange, const platform::CodePage& code_page,
                            image::BlockRecord& record, const toolcfg::ConfigBlock& block,
                            const std::string& path_text) {
  const std::size_t size = record.entry.size();
  if (size > kHwInfoBuffer) {
    exchange.messages.Show(BoxCaption::Application,
                           "The hardware info block " + Bracketed(code_page, block.name) +
                               " holds " + std::to_string(size) +
                               " bytes, more than the 5120 bytes its new content can have; it "
                               "was not replaced.");
    return SheetResult::kBlockProblem;
  }
  const std::filesystem::path path = NativeFilePath(path_text);
  common::LineReader lines;
  if (path.empty() || lines.Open(path) != common::LineReader::OpenResult::kOpened) {
    exchange.messages.Show(BoxCaption::Application,
                           "The hardware info file " + path_text + " cannot be opened; block " +
                               Bracketed(code_page, block.name) + " was left as it was.");
    return SheetResult::kApplied;
  }
  const std::optional<legacy::HwInfo> info =
      legacy::ParseHwInfo(lines, exchange.messages, BoxCaption::Application);
  if (!info) {
    exchange.messages.Show(BoxCaption::Application, "Parse hw info file failed");
    return SheetResult::kBlockProblem;
  }
  // A hardware-info block is usually the full 5120 bytes, of which the
  // file fills the first 240; the rest is erased to zeros, as nothing else
  // is defined for it.
  const auto content = info->Bytes();
  std::vector<std::uint8_t> data(size, 0);
  std::copy_n(content.begin(), std::min(size, content.size()), data.begin());
  record.data.Replace(std::move(data));
  return SheetResult::kApplied;
}

}  // namespace

SheetResult ApplyConfigSheet(WorkbookExchange& exchange, CellText& text, const ValueArray& values,
                             std::uint32_t rows, std::vector<toolcfg::ConfigBlock>& blocks) {
  toolcfg::ConfigBlock* current = nullptr;
  for (std::uint32_t r = 1; r <= rows; ++r) {
    // A text the code page cannot hold names nothing of the script.
    const std::string& name = text.Read(values, r, 1);
    const bool exact = text.exact();
    if (StartsWithStar(name)) {
      current = exact ? FindConfigBlock(blocks, name) : nullptr;
      continue;
    }
    if (!current)
      continue;
    image::BlockRecord* record = FindImageBlock(exchange, *current);
    if (!record)
      return SheetResult::kBlockProblem;
    auto item = std::find_if(current->items.begin(), current->items.end(),
                             [&](const toolcfg::ConfigItem& i) { return exact && i.name == name; });
    if (item == current->items.end())
      continue;
    const SheetResult result =
        ApplyItem(exchange, text, values.GetElement(r, 2), *record, *current, *item);
    if (result != SheetResult::kApplied)
      return result;
  }
  return SheetResult::kApplied;
}

SheetResult ApplyFilePathSheet(WorkbookExchange& exchange, CellText& text, const ValueArray& values,
                               std::uint32_t rows) {
  const std::vector<toolcfg::ConfigBlock>& blocks = exchange.model.sheet4.blocks;
  const toolcfg::ConfigBlock* current = nullptr;
  for (std::uint32_t r = 1; r <= rows; ++r) {
    const std::string& name = text.Read(values, r, 1);
    // Unlike the configuration sheets, the "*" row itself carries the path.
    if (StartsWithStar(name))
      current = text.exact() ? FindConfigBlock(blocks, name) : nullptr;
    if (!current || (current->em != kHwInfoFile && current->em != kBinaryFile))
      continue;
    image::BlockRecord* record = FindImageBlock(exchange, *current);
    if (!record)
      return SheetResult::kBlockProblem;
    const Variant cell = values.GetElement(r, 2);
    if (cell.type() != VT_BSTR)
      continue;
    // The path must be one the code page can name, as the original opened
    // it; a native path here is UTF-8.
    const platform::CodePage& code_page = text.code_page();
    const std::string path = cell.AsUtf8();
    text.ReadText(cell);
    if (!text.exact()) {
      exchange.messages.Show(BoxCaption::Application,
                             "The file name \"" + path + "\" for block " +
                                 Bracketed(code_page, current->name) + " " + NoBytesFor(code_page) +
                                 ", so the file cannot be named; please check it.");
      return SheetResult::kBlockProblem;
    }
    if (current->em == kHwInfoFile) {
      if (const SheetResult result = ApplyHwInfoFile(exchange, code_page, *record, *current, path);
          result != SheetResult::kApplied)
        return result;
      continue;
    }
    platform::Result<std::vector<std::uint8_t>> bytes =
        platform::ReadWholeFile(NativeFilePath(path));
    if (!bytes.ok())
      continue;  // a file that cannot be read leaves the block as it was
    if (bytes.value().size() > 0xFFFFFFFFu) {
      exchange.messages.Show(BoxCaption::Application,
                             "The file " + path + " is larger than a block can be; block " +
                                 Bracketed(code_page, current->name) + " was left as it was.");
      continue;
    }
    record->entry.set_size(static_cast<std::uint32_t>(bytes.value().size()));
    record->data.Replace(std::move(bytes.value()));
  }
  return SheetResult::kApplied;
}

ImportResult ImportWorkbook(WorkbookExchange& exchange, std::string_view workbook_path) {
  const platform::Result<platform::CodePage> code_page = platform::CodePage::FromEnvironment();
  if (!code_page.ok()) {
    exchange.messages.Show(BoxCaption::Application,
                           code_page.error() + " Nothing was read from the workbook.");
    return ImportResult::kFailed;
  }
  const Variant m = MissingArgument();
  ExcelApplication app;
  if (StartExcel(app, exchange.messages) != workbook::StartResult::kStarted)
    return ImportResult::kFailed;
  ExcelWorkbooks books(app.GetWorkbooks());
  ExcelWorkbook book(books.Open(workbook_path, m, m, m, m, m, m, m, m, m, m, m, m, m, m));
  ExcelWorksheets sheets(book.GetWorksheets());
  ExcelWorksheet sheet;
  CellText text(code_page.value());

  // A sheet whose used range is a single cell is skipped unread.
  UsedExtent extent;
  auto find_sheet = [&](std::string_view name, std::int16_t first) {
    FindSheetByName(sheets, name, first, sheet);
    extent = GetUsedExtent(sheet);
    return extent.rows > 1 || extent.columns > 1;
  };
  // The configuration sheets are read in columns A and B only, so cells
  // far to the right cost nothing.
  auto read_config_sheet = [&] {
    return ReadSheetValues(sheet, extent.rows, std::min(extent.columns, 2u));
  };

  if (find_sheet(kProgramSheet, 1)) {
    // A sheet taller than a preset table can count is refused unread.
    const ValueArray values = extent.rows > kMaxPresetRows
                                  ? ValueArray()
                                  : ReadSheetValues(sheet, extent.rows, extent.columns);
    // Not looked at: a table that cannot be packed leaves the block as it
    // was, after its message, and the other sheets still count.
    static_cast<void>(PackPresetSheet(exchange, values, extent.rows, extent.columns));
  }

  struct ConfigSheet {
    std::string_view name;
    std::int16_t first;
    std::vector<toolcfg::ConfigBlock>& blocks;
  };
  const ConfigSheet config_sheets[] = {{kKeySheet, 2, exchange.model.sheet2.blocks},
                                       {kSystemSheet, 3, exchange.model.sheet3.blocks}};
  for (const ConfigSheet& config : config_sheets) {
    if (find_sheet(config.name, config.first) &&
        ApplyConfigSheet(exchange, text, read_config_sheet(), extent.rows, config.blocks) !=
            SheetResult::kApplied) {
      CloseAndQuit(book, app);
      return ImportResult::kFailed;
    }
  }
  if (find_sheet(kFilePathSheet, 3) && ApplyFilePathSheet(exchange, text, read_config_sheet(),
                                                          extent.rows) != SheetResult::kApplied) {
    CloseAndQuit(book, app);
    return ImportResult::kFailed;
  }
  CloseAndQuit(book, app);
  return ImportResult::kImported;
}

}  // namespace nuv::exchange
