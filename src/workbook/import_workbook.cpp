#include "workbook/import_workbook.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <system_error>

#include "legacy/hw_info.h"
#include "toolcfg/block_lookup.h"
#include "workbook/excel_operations.h"
#include "workbook/exchange_numbers.h"
#include "workbook/import_bit_field.h"
#include "workbook/preset_packing.h"
#include "workbook/preset_table.h"

namespace nuv::workbook {
namespace {

constexpr std::uint8_t kBlockNameLength = 8;
constexpr std::uint8_t kHwInfoFile = 2;
constexpr std::uint8_t kBinaryFile = 3;

std::string Bracketed(std::string_view name) {
  return std::string("[").append(name).append("]");
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

int ItemOutside(WorkbookExchange& exchange, const toolcfg::ConfigBlock& block,
                const toolcfg::ConfigItem& item, std::size_t size) {
  exchange.messages.Show(BoxCaption::Application, Bracketed(item.name) + " lies outside the " +
                                                      std::to_string(size) + " bytes of block " +
                                                      Bracketed(block.name) +
                                                      ", so the workbook cannot be applied to it.");
  return kBlockProblem;
}

int OutOfRange(WorkbookExchange& exchange, const toolcfg::ConfigItem& item) {
  exchange.messages.Show(BoxCaption::Application, "ERROR!! " + Bracketed(item.name) +
                                                      "'s value is out of range,please check it!");
  return kValueOutOfRange;
}

// The longest prefix of `text` of at most `bytes` bytes that does not end
// inside a UTF-8 sequence.
std::size_t WholeCharacters(std::string_view text, std::size_t bytes) {
  if (bytes >= text.size())
    return text.size();
  while (bytes > 0 && (static_cast<unsigned char>(text[bytes]) & 0xC0) == 0x80)
    --bytes;
  return bytes;
}

// Copies a text item's value, with its terminating zero byte, into the
// block, within the room the item has.
int WriteText(WorkbookExchange& exchange, image::BlockRecord& record,
              const toolcfg::ConfigBlock& block, const toolcfg::ConfigItem& item,
              std::string_view text) {
  std::span<std::uint8_t> data = record.data.mutable_bytes();
  const std::int64_t start = std::int64_t{block.start_offset} + item.bit_offset / 8;
  if (start < 0 || static_cast<std::uint64_t>(start) >= data.size())
    return ItemOutside(exchange, block, item, data.size());
  std::size_t room = data.size() - static_cast<std::size_t>(start);
  std::string limit = "the end of block " + Bracketed(block.name);
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
    length = WholeCharacters(text, room - 1);
    exchange.messages.Show(
        BoxCaption::Application,
        "The text for " + Bracketed(item.name) + " takes " + std::to_string(text.size() + 1) +
            " bytes, more than the " + std::to_string(room) + " that " + limit +
            " leaves it; only its first " + std::to_string(length) + " bytes were written.");
  }
  const auto to = data.begin() + start;
  std::copy_n(text.begin(), length, to);
  to[static_cast<std::ptrdiff_t>(length)] = 0;
  return kImportOk;
}

// Reads column B of an item row into the item and writes the item.
int ApplyItem(WorkbookExchange& exchange, CellText& text, const Variant& cell,
              image::BlockRecord& record, const toolcfg::ConfigBlock& block,
              toolcfg::ConfigItem& item) {
  const bool number_item = item.is_number();
  switch (cell.type()) {
    case VT_EMPTY:
      text.Set("");
      break;
    case VT_R8: {
      const std::optional<std::uint64_t> pattern = TruncatedNumberPattern(cell.AsDouble());
      if (pattern)
        item.number_value = *pattern;
      if (!number_item) {
        // The text of a number is what the user sees in the cell.
        text.Set(TruncatedNumberText(cell.AsDouble()));
        exchange.messages.Show(BoxCaption::Application,
                               Bracketed(item.name) +
                                   " is a text item and its value cell holds a number; the "
                                   "number's decimal text \"" +
                                   text.text() + "\" was written.");
      } else if (!pattern) {
        return OutOfRange(exchange, item);
      }
      break;
    }
    case VT_BSTR:
      text.Set(cell.AsUtf8());
      break;
    default:
      if (!number_item) {
        exchange.messages.Show(BoxCaption::Application,
                               Bracketed(item.name) +
                                   " is a text item and its value cell holds neither a text nor "
                                   "a number; the item was left as it was.");
        return kImportOk;
      }
      break;
  }

  if (!number_item)
    return WriteText(exchange, record, block, item, text.text());
  if (item.type == toolcfg::kItemRange &&
      (item.number_value < static_cast<std::uint32_t>(item.min) ||
       item.number_value > static_cast<std::uint32_t>(item.max)))
    return OutOfRange(exchange, item);
  std::span<std::uint8_t> data = record.data.mutable_bytes();
  const std::int64_t position = std::int64_t{block.start_offset} * 8 + item.bit_offset;
  if (!WriteImportBitField(data, position, item.bit_length, item.number_value))
    return ItemOutside(exchange, block, item, data.size());
  return kImportOk;
}

std::optional<std::vector<std::uint8_t>> ReadBinaryFile(const std::filesystem::path& path) {
  std::error_code error;
  if (path.empty() || !std::filesystem::is_regular_file(path, error))
    return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in)
    return std::nullopt;
  std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                  std::istreambuf_iterator<char>()};
  if (in.bad())
    return std::nullopt;
  return bytes;
}

// Replaces a hardware-info block by the content of a hardware info file.
int ApplyHwInfoFile(WorkbookExchange& exchange, image::BlockRecord& record,
                    const toolcfg::ConfigBlock& block, const std::string& path_text) {
  const std::size_t size = record.entry.size();
  if (size > kHwInfoBuffer) {
    exchange.messages.Show(BoxCaption::Application,
                           "The hardware info block " + Bracketed(block.name) + " holds " +
                               std::to_string(size) +
                               " bytes, more than the 5120 bytes its new content can have; it "
                               "was not replaced.");
    return kBlockProblem;
  }
  const std::filesystem::path path = NativeFilePath(path_text);
  std::error_code error;
  std::ifstream in;
  if (!path.empty() && std::filesystem::is_regular_file(path, error))
    in.open(path);
  if (!in.is_open()) {
    exchange.messages.Show(BoxCaption::Application,
                           "The hardware info file " + path_text + " cannot be opened; block " +
                               Bracketed(block.name) + " was left as it was.");
    return kImportOk;
  }
  legacy::HwInfo info;
  if (legacy::ParseHwInfo(in, info.panel, info.led, exchange.messages, BoxCaption::Application) !=
      0) {
    exchange.messages.Show(BoxCaption::Application, "Parse hw info file failed");
    return kBlockProblem;
  }
  // A hardware-info block is usually the full 5120 bytes, of which the
  // file fills the first 240; the rest is erased to zeros, as nothing else
  // is defined for it.
  const auto content = info.Bytes();
  std::vector<std::uint8_t> data(size, 0);
  std::copy_n(content.begin(), std::min(size, content.size()), data.begin());
  record.data.Replace(std::move(data));
  return kImportOk;
}

}  // namespace

int ApplyConfigSheet(WorkbookExchange& exchange, CellText& text, const ValueArray& values,
                     std::uint32_t rows, std::vector<toolcfg::ConfigBlock>& blocks) {
  toolcfg::ConfigBlock* current = nullptr;
  for (std::uint32_t r = 1; r <= rows; ++r) {
    const std::string& name = text.Read(values, r, 1);
    if (StartsWithStar(name)) {
      current = FindConfigBlock(blocks, name);
      continue;
    }
    if (!current)
      continue;
    image::BlockRecord* record = FindImageBlock(exchange, *current);
    if (!record)
      return kBlockProblem;
    auto item = std::find_if(current->items.begin(), current->items.end(),
                             [&](const toolcfg::ConfigItem& i) { return i.name == name; });
    if (item == current->items.end())
      continue;
    const int result = ApplyItem(exchange, text, values.GetElement(r, 2), *record, *current, *item);
    if (result != kImportOk)
      return result;
  }
  return kImportOk;
}

int ApplyFilePathSheet(WorkbookExchange& exchange, CellText& text, const ValueArray& values,
                       std::uint32_t rows) {
  const std::vector<toolcfg::ConfigBlock>& blocks = exchange.model.sheet4.blocks;
  const toolcfg::ConfigBlock* current = nullptr;
  for (std::uint32_t r = 1; r <= rows; ++r) {
    const std::string& name = text.Read(values, r, 1);
    // Unlike the configuration sheets, the "*" row itself carries the path.
    if (StartsWithStar(name))
      current = FindConfigBlock(blocks, name);
    if (!current || (current->em != kHwInfoFile && current->em != kBinaryFile))
      continue;
    image::BlockRecord* record = FindImageBlock(exchange, *current);
    if (!record)
      return kBlockProblem;
    const Variant cell = values.GetElement(r, 2);
    if (cell.type() != VT_BSTR)
      continue;
    const std::string path = cell.AsUtf8();
    if (current->em == kHwInfoFile) {
      if (const int result = ApplyHwInfoFile(exchange, *record, *current, path);
          result != kImportOk)
        return result;
      continue;
    }
    std::optional<std::vector<std::uint8_t>> bytes = ReadBinaryFile(NativeFilePath(path));
    if (!bytes)
      continue;  // a file that cannot be opened leaves the block as it was
    if (bytes->size() > 0xFFFFFFFFu) {
      exchange.messages.Show(BoxCaption::Application,
                             "The file " + path + " is larger than a block can be; block " +
                                 Bracketed(current->name) + " was left as it was.");
      continue;
    }
    record->entry.set_size(static_cast<std::uint32_t>(bytes->size()));
    record->data.Replace(std::move(*bytes));
  }
  return kImportOk;
}

int ImportWorkbook(WorkbookExchange& exchange, std::string_view workbook_path) {
  const Variant m = MissingArgument();
  ExcelApplication app;
  if (!StartExcel(app, exchange.messages))
    return kImportFailed;
  ExcelWorkbooks books(app.GetWorkbooks());
  ExcelWorkbook book(books.Open(workbook_path, m, m, m, m, m, m, m, m, m, m, m, m, m, m));
  ExcelWorksheets sheets(book.GetWorksheets());
  ExcelWorksheet sheet;
  CellText text;

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
    PackPresetSheet(exchange, values, extent.rows, extent.columns);
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
        ApplyConfigSheet(exchange, text, read_config_sheet(), extent.rows, config.blocks) < 0) {
      CloseAndQuit(book, app);
      return kImportFailed;
    }
  }
  if (find_sheet(kFilePathSheet, 3) &&
      ApplyFilePathSheet(exchange, text, read_config_sheet(), extent.rows) < 0) {
    CloseAndQuit(book, app);
    return kImportFailed;
  }
  CloseAndQuit(book, app);
  return kImportOk;
}

}  // namespace nuv::workbook
