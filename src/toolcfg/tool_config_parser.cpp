#include "toolcfg/tool_config_parser.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "common/bit_field.h"
#include "common/line_reader.h"
#include "common/numbers.h"
#include "platform/paths.h"
#include "toolcfg/block_lookup.h"

namespace nuv::toolcfg {
namespace {

using enum ParseResult;

// The pieces of a text between separators, the way strtok cuts them: a run
// of separators counts as one and no piece is ever empty.
class Pieces {
 public:
  Pieces(std::string_view text, char separator) : rest_(text), separator_(separator) {}

  std::optional<std::string_view> Next() {
    const size_t start = rest_.find_first_not_of(separator_);
    if (start == std::string_view::npos) {
      rest_ = {};
      return std::nullopt;
    }
    rest_.remove_prefix(start);
    const size_t end = rest_.find(separator_);
    const std::string_view piece = rest_.substr(0, end);
    rest_.remove_prefix(end == std::string_view::npos ? rest_.size() : end + 1);
    return piece;
  }

 private:
  std::string_view rest_;
  char separator_;
};

// The value of a "KEY=value" line: the text after the first run of "=" up
// to the next "=" or the end of the line.
std::optional<std::string_view> ValueOf(std::string_view line) {
  Pieces pieces(line, '=');
  pieces.Next();
  return pieces.Next();
}

std::string_view DropFirst(std::string_view piece, size_t count = 1) {
  return piece.substr(std::min(count, piece.size()));
}

std::string Cut(std::string_view text, size_t limit) {
  return std::string(text.substr(0, limit));
}

std::string HexId(uint8_t id) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text = "0x";
  if (id >= 16)
    text += kDigits[id >> 4];
  text += kDigits[id & 15];
  return text;
}

bool StartsWith(std::string_view line, std::string_view prefix) {
  return line.substr(0, prefix.size()) == prefix;
}

class Parser {
 public:
  Parser(ToolConfig& model, const image::BlockTable& table, Messages& messages)
      : model_(model), table_(table), messages_(messages) {}

  // First pass: the whole script is searched for "CFGHEADER=toolcfg".
  ParseResult FindHeader(common::LineReader& reader) {
    bool found = false;
    std::string line;
    while (reader.Next(line) != common::LineStatus::kEnd) {
      const std::string_view text = line;
      if (!StartsWith(text, "CFGHEADER"))
        continue;
      const std::optional<std::string_view> value = ValueOf(text);
      if (!value) {
        messages_.Show(BoxCaption::Application, "Error line!");
        return kScriptError;
      }
      if (*value == "toolcfg")
        found = true;
    }
    if (found)
      return kParsed;
    ReportCutShort(reader);
    return kScriptError;
  }

  // Second pass: every line is applied in order.
  ParseResult Apply(common::LineReader& reader) {
    std::string line;
    while (reader.Next(line) != common::LineStatus::kEnd) {
      line_number_ = reader.line_number();
      const std::string_view text = line;
      if (text.empty())
        continue;
      if (const ParseResult result = ApplyLine(text); result != kParsed)
        return result;
    }
    ReportCutShort(reader);
    return kParsed;
  }

 private:
  ParseResult ApplyLine(std::string_view line) {
    if (StartsWith(line, "SHEETID"))
      return SheetId(line);
    if (StartsWith(line, "//") || StartsWith(line, "FLASH="))
      return kParsed;
    if (StartsWith(line, "SHEETINFO"))
      return SheetInfo(line);
    if (StartsWith(line, "BLOCKINFO"))
      return BlockInfo(line);
    if (StartsWith(line, "OFFSET"))
      return BlockValue(line, "OFFSET", [](ConfigBlock& b, std::string_view v) {
        b.start_offset = common::CAtoI(v);
      });
    if (StartsWith(line, "EM"))
      return BlockValue(line, "EM", [](ConfigBlock& b, std::string_view v) {
        b.em = static_cast<uint8_t>(common::CAtoI(v));
      });
    if (StartsWith(line, "INDEX"))
      return Index(line);
    if (StartsWith(line, "##"))
      return Items(line.substr(2));
    if (StartsWith(line, "["))
      return Items(line);
    return kParsed;
  }

  ParseResult SheetId(std::string_view line) {
    const std::optional<std::string_view> value = ValueOf(line);
    if (!value)
      return kScriptError;
    if (*value == "2") {
      sheet_ = &model_.sheet2;
      sheet_->name = "sheet2";
    } else if (*value == "3") {
      sheet_ = &model_.sheet3;
      sheet_->name = "sheet3";
    } else {
      sheet_ = &model_.sheet4;
      sheet_->name = "sheet4";
    }
    return kParsed;
  }

  // SHEETINFO, one separator character, then title1][title2]...
  ParseResult SheetInfo(std::string_view line) {
    if (!sheet_)
      return Fail("SHEETINFO comes before the first SHEETID line!");
    Pieces pieces(DropFirst(line, 10), ']');
    std::optional<std::string_view> title = pieces.Next();
    if (!title)
      return kScriptError;
    sheet_->columns.clear();
    sheet_->columns.push_back({Cut(*title, kMaxColumnTitle)});
    while ((title = pieces.Next()))
      sheet_->columns.push_back({Cut(DropFirst(*title), kMaxColumnTitle)});
    return kParsed;
  }

  // BLOCKINFO, one separator character, then name]
  ParseResult BlockInfo(std::string_view line) {
    if (!sheet_)
      return Fail("BLOCKINFO comes before the first SHEETID line!");
    Pieces pieces(DropFirst(line, 10), ']');
    const std::optional<std::string_view> name = pieces.Next();
    if (!name)
      return kScriptError;
    ConfigBlock block;
    block.name = Cut(*name, kMaxBlockName);
    sheet_->blocks.push_back(std::move(block));
    block_sheet_ = sheet_;
    block_index_ = sheet_->blocks.size() - 1;
    return kParsed;
  }

  ParseResult BlockValue(std::string_view line, std::string_view key,
                         const std::function<void(ConfigBlock&, std::string_view)>& store) {
    ConfigBlock* block = CurrentBlock();
    if (!block)
      return Fail(std::string(key) + " comes before the first BLOCKINFO line!");
    const std::optional<std::string_view> value = ValueOf(line);
    if (!value)
      return kScriptError;
    store(*block, *value);
    return kParsed;
  }

  ParseResult Index(std::string_view line) {
    ConfigBlock* block = CurrentBlock();
    if (!block)
      return Fail("INDEX comes before the first BLOCKINFO line!");
    const std::optional<std::string_view> value = ValueOf(line);
    if (!value)
      return kScriptError;
    block->block_id = static_cast<uint8_t>(common::CStrToLowBits(*value, 16) & 0xFF);
    source_ = FindBlockById(table_, block->block_id, messages_);
    return source_ ? kParsed : kScriptError;
  }

  // [name][type][bit offset][bit length]([min][max])([description]) then
  // ";" or "##" or the next item after one separator character.
  ParseResult Items(std::string_view text) {
    Pieces pieces(text, ']');
    std::optional<std::string_view> piece = pieces.Next();
    for (bool first = true; piece; first = false) {
      const std::string_view name_piece = first ? *piece : DropFirst(*piece);
      if (name_piece.find("##") != std::string_view::npos)
        return kParsed;
      ConfigBlock* block = CurrentBlock();
      if (!block)
        return Fail("an item comes before the first BLOCKINFO line!");
      ConfigItem& item = block->items.emplace_back();
      item.name = Cut(DropFirst(name_piece), kMaxItemName);
      const std::optional<std::array<int32_t, 3>> placing = ReadNumbers<3>(pieces);
      if (!placing)
        return kScriptError;
      item.type = ItemType{(*placing)[0]};
      item.bit_offset = (*placing)[1];
      item.bit_length = (*placing)[2];
      if (item.type == ItemType::Range) {
        const std::optional<std::array<int32_t, 2>> range = ReadNumbers<2>(pieces);
        if (!range)
          return kScriptError;
        item.min = (*range)[0];
        item.max = (*range)[1];
      }
      if (block->em == 1) {
        const std::optional<std::string_view> description = pieces.Next();
        if (!description)
          return kScriptError;
        item.description = Cut(DropFirst(*description), kMaxDescription);
      }
      if (const ParseResult result = ReadValue(*block, item); result != kParsed)
        return result;
      piece = pieces.Next();
      if (piece && (*piece == ";" || *piece == "##"))
        break;
    }
    return kParsed;
  }

  // The next `count` pieces as decimal numbers; nothing when a piece is
  // missing.
  template <size_t count>
  static std::optional<std::array<int32_t, count>> ReadNumbers(Pieces& pieces) {
    std::array<int32_t, count> numbers{};
    for (int32_t& number : numbers) {
      const std::optional<std::string_view> piece = pieces.Next();
      if (!piece)
        return std::nullopt;
      number = common::CAtoI(DropFirst(*piece));
    }
    return numbers;
  }

  ParseResult ReadValue(const ConfigBlock& block, ConfigItem& item) {
    if (!source_)
      return Fail("item [" + item.name +
                  "] comes before the first INDEX line, so there is no block to read it from!");
    const std::span<const uint8_t> data = source_->data.bytes();
    if (item.is_number()) {
      if (item.bit_length < 0 || static_cast<uint32_t>(item.bit_length) > common::kMaxFieldBits)
        return Fail("item [" + item.name + "] is " + std::to_string(item.bit_length) +
                    " bits long; a number has 0 to 64 bits!");
      if (item.bit_length == 0) {
        item.number_value = 0;
        return kParsed;
      }
      const int64_t position = int64_t{block.start_offset} * 8 + item.bit_offset;
      std::optional<uint64_t> value;
      if (position >= 0)
        value = common::ReadBitField(data, static_cast<uint64_t>(position),
                                     static_cast<uint32_t>(item.bit_length));
      if (!value)
        return Outside(block, item, data.size());
      item.number_value = *value;
      return kParsed;
    }
    const int64_t start = int64_t{block.start_offset} + item.bit_offset / 8;
    if (start < 0 || static_cast<uint64_t>(start) >= data.size())
      return Outside(block, item, data.size());
    const std::span<const uint8_t> text = data.subspan(static_cast<size_t>(start));
    item.text_value.clear();
    for (size_t i = 0; i < text.size() && i < kMaxTextValue && text[i] != 0; ++i)
      item.text_value += static_cast<char>(text[i]);
    return kParsed;
  }

  ParseResult Outside(const ConfigBlock& block, const ConfigItem& item, size_t size) {
    return Fail("item [" + item.name + "] of block [" + block.name + "] lies outside the " +
                std::to_string(size) + " bytes of block id[" + HexId(source_->entry.block_id()) +
                "]!");
  }

  ConfigBlock* CurrentBlock() {
    return block_sheet_ ? &block_sheet_->blocks[block_index_] : nullptr;
  }

  ParseResult Fail(const std::string& what) {
    messages_.Show(BoxCaption::Application,
                   "Script error in line " + std::to_string(line_number_) + ": " + what);
    return kScriptError;
  }

  void ReportCutShort(const common::LineReader& reader) {
    if (reader.cut_short())
      messages_.Show(BoxCaption::Application,
                     "Line " + std::to_string(reader.line_number()) +
                         " of the script is longer than 999 characters; the script is read "
                         "only up to that line.");
  }

  ToolConfig& model_;
  const image::BlockTable& table_;
  Messages& messages_;
  ToolConfigSheet* sheet_ = nullptr;
  ToolConfigSheet* block_sheet_ = nullptr;  // the sheet that holds the current block
  size_t block_index_ = 0;
  const image::BlockRecord* source_ = nullptr;  // the block the item values come from
  size_t line_number_ = 0;
};

ParseResult Parse(ToolConfig& model, const std::function<bool(common::LineReader&)>& open,
                  const image::BlockTable& table, Messages& messages) {
  common::LineReader reader;
  if (!open(reader))
    return kNotOpened;
  Parser parser(model, table, messages);
  if (const ParseResult result = parser.FindHeader(reader); result != kParsed)
    return result;
  reader.Close();
  if (!open(reader))
    return kNotOpened;
  return parser.Apply(reader);
}

}  // namespace

ParseResult ParseToolConfig(ToolConfig& model, std::string_view script_path,
                            const image::BlockTable& table, Messages& messages) {
  const platform::NativePath path = platform::ToNativePath(script_path);
  if (!path.ok()) {
    messages.Show(BoxCaption::Application, path.error());
    return kNotOpened;
  }
  return Parse(
      model,
      [&](common::LineReader& reader) {
        return reader.Open(path.value()) == common::LineReader::OpenResult::kOpened;
      },
      table, messages);
}

ParseResult ParseToolConfigText(ToolConfig& model, std::string_view script,
                                const image::BlockTable& table, Messages& messages) {
  return Parse(
      model,
      [&](common::LineReader& reader) {
        reader.OpenText(std::string(script));
        return true;
      },
      table, messages);
}

}  // namespace nuv::toolcfg
