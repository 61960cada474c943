#include "legacy/script_parser.h"

#include <string>
#include <string_view>
#include <utility>

#include "common/numbers.h"
#include "platform/paths.h"

namespace nuv::legacy {
namespace {

constexpr std::string_view kNoScriptPath = "Please select script file!";
constexpr std::string_view kCannotOpen =
    "Please put the correct script file in the same directory as the flash binary!";
constexpr std::string_view kErrorLine = "Error line!";
constexpr std::string_view kFlashMismatch = "Flash size mismatch!";
constexpr std::string_view kTooManyFields = "Too many dynamic fields!";
constexpr std::string_view kTypeError = "Field type data error!";
constexpr std::string_view kOffsetError = "Field offset data error!";
constexpr std::string_view kLengthError = "Field length data error!";
constexpr std::string_view kDescError = "Field desc data error!";
constexpr std::string_view kNoBlocks = "Script file has no valid block information!";
// Scripts that were never meant to be written this way.
constexpr std::string_view kBeforeFirstId = "Error line! Block data before the first ID line.";
constexpr std::string_view kSecondList = "Error line! A block has only one field list.";
constexpr std::string_view kListItems =
    "Field list data error! A list field needs its start, end and step.";
constexpr std::string_view kListRange =
    "Field list data error! The step must not be 0, and a list offers at most 65536 values.";
constexpr std::string_view kFieldEnd =
    "Field end data error! A field line must end with \";\" or \"##\".";

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// The pieces of a field line between the "]" characters; runs of "]" make
// no empty pieces, as the tokenizer the format was always read with.
class Pieces {
 public:
  explicit Pieces(std::string_view text) : rest_(text) {}

  std::optional<std::string_view> Next() {
    while (!rest_.empty() && rest_.front() == ']')
      rest_.remove_prefix(1);
    if (rest_.empty())
      return std::nullopt;
    const size_t end = rest_.find(']');
    std::string_view piece = rest_.substr(0, end);
    rest_ = end == std::string_view::npos ? std::string_view() : rest_.substr(end + 1);
    return piece;
  }

 private:
  std::string_view rest_;
};

// An item's text: the piece without its first character (the "[").
std::string_view Item(std::string_view piece, size_t drop = 1) {
  return piece.size() <= drop ? std::string_view() : piece.substr(drop);
}

// The next item of a field, or nothing when the field ends before it: the
// ";" or "##" that ends a field line, found where an item belongs, means
// that the item is missing, and is not read as one.
std::optional<std::string_view> NextItem(Pieces& pieces) {
  const auto piece = pieces.Next();
  if (!piece ||
      (!piece->starts_with('[') && (*piece == ";" || piece->find("##") != std::string_view::npos)))
    return std::nullopt;
  return piece;
}

uint32_t ItemNumber(std::string_view piece) {
  return static_cast<uint32_t>(common::CAtoI(Item(piece)));
}

class ScriptParser {
 public:
  ScriptParser(uint32_t flash_size, Messages& messages)
      : flash_size_(flash_size), messages_(messages) {}

  // One line; kFailed once the parse has failed, after its message.
  enum class LineResult { kRead, kFailed };
  LineResult Line(std::string_view line);
  std::optional<std::vector<ScriptBlock>> Finish();

 private:
  enum class ListState { kNone, kOpen, kClosed };

  LineResult Fail(std::string_view text) {
    messages_.Show(BoxCaption::Error, text);
    return LineResult::kFailed;
  }
  LineResult KeyLine(std::string_view line, std::string_view key);
  LineResult ReadFields(std::string_view text);
  LineResult ReadField(Pieces& pieces, std::string_view name, size_t drop);

  uint32_t flash_size_;
  Messages& messages_;
  std::vector<ScriptBlock> blocks_;
  ListState list_ = ListState::kNone;
};

ScriptParser::LineResult ScriptParser::Line(std::string_view line) {
  if (line.empty())
    return LineResult::kRead;
  for (std::string_view key : {"FLASH", "ID", "EM", "name", "OFFSET"})
    if (StartsWith(line, key))
      return KeyLine(line, key);
  if (StartsWith(line, "##")) {
    if (blocks_.empty())
      return Fail(kBeforeFirstId);
    if (list_ == ListState::kClosed)
      return Fail(kSecondList);
    list_ = ListState::kOpen;
    return ReadFields(line.substr(2));
  }
  if (StartsWith(line, "//") || list_ != ListState::kOpen)
    return LineResult::kRead;
  return ReadFields(line);
}

ScriptParser::LineResult ScriptParser::KeyLine(std::string_view line, std::string_view key) {
  const size_t equals = line.find('=');
  if (equals == std::string_view::npos)
    return Fail(kErrorLine);
  std::string_view value = line.substr(equals + 1);
  value = value.substr(0, value.find('='));
  if (value.empty())
    return Fail(kErrorLine);

  if (key == "FLASH") {
    int64_t size = 0;
    if (value == "2M")
      size = 2097152;
    else if (value == "1M")
      size = 1048576;
    else if (value == "512K")
      size = 524288;
    else
      size = common::CAtoI(value);
    return size == int64_t{flash_size_} ? LineResult::kRead : Fail(kFlashMismatch);
  }
  if (key == "ID") {
    ScriptBlock block;
    block.block_id = static_cast<uint8_t>(common::CStrToL(value, 0) & 0xFF);
    blocks_.push_back(std::move(block));
    list_ = ListState::kNone;
    return LineResult::kRead;
  }
  if (blocks_.empty())
    return Fail(kBeforeFirstId);
  ScriptBlock& block = blocks_.back();
  if (key == "EM")
    block.em = static_cast<uint8_t>(common::CAtoI(value) & 0xFF);
  else if (key == "name")
    block.name = std::string(value.substr(0, kMaxNameLength));
  else
    block.offset = static_cast<uint32_t>(common::CAtoI(value));
  return LineResult::kRead;
}

ScriptParser::LineResult ScriptParser::ReadFields(std::string_view text) {
  Pieces pieces(text);
  auto name = pieces.Next();
  size_t drop = 1;  // the "[" before the first name of a line
  while (name) {
    if (name->find("##") != std::string_view::npos) {
      list_ = ListState::kClosed;
      return LineResult::kRead;
    }
    if (ReadField(pieces, *name, drop) != LineResult::kRead)
      return LineResult::kFailed;
    name = pieces.Next();
    if (!name)
      return Fail(kFieldEnd);
    if (*name == ";")
      return LineResult::kRead;
    // Anything else is "##" or the next field on this line: one separator,
    // then its "[".
    drop = 2;
  }
  return LineResult::kRead;
}

ScriptParser::LineResult ScriptParser::ReadField(Pieces& pieces, std::string_view name,
                                                 size_t drop) {
  ScriptBlock& block = blocks_.back();
  if (block.fields.size() >= kMaxFieldsPerBlock)
    return Fail(kTooManyFields);
  ScriptField field;
  field.name = std::string(Item(name, drop).substr(0, kMaxNameLength));

  const std::pair<uint32_t*, std::string_view> items[] = {
      {nullptr, kTypeError}, {&field.bit_offset, kOffsetError}, {&field.bit_length, kLengthError}};
  for (const auto& [target, message] : items) {
    const auto piece = NextItem(pieces);
    if (!piece)
      return Fail(message);
    if (target)
      *target = ItemNumber(*piece);
    else
      field.type = static_cast<uint8_t>(ItemNumber(*piece) & 0xFF);
  }
  if (field.type == kListField) {
    for (uint32_t* target : {&field.list_start, &field.list_end, &field.list_step}) {
      const auto piece = NextItem(pieces);
      if (!piece)
        return Fail(kListItems);
      *target = ItemNumber(*piece);
    }
    // A start above the end offers no values; that is no error.
    if (field.list_step == 0 ||
        (field.list_start <= field.list_end &&
         (uint64_t{field.list_end} - field.list_start) / field.list_step >= kMaxListItems))
      return Fail(kListRange);
  }
  if (block.em == kDescribedFieldBlock) {
    const auto piece = NextItem(pieces);
    if (!piece)
      return Fail(kDescError);
    field.description = std::string(Item(*piece).substr(0, kMaxDescriptionLength));
  }
  block.fields.push_back(std::move(field));
  return LineResult::kRead;
}

std::optional<std::vector<ScriptBlock>> ScriptParser::Finish() {
  if (blocks_.empty()) {
    Fail(kNoBlocks);
    return std::nullopt;
  }
  return std::move(blocks_);
}

}  // namespace

std::optional<std::vector<ScriptBlock>> ParseLegacyScriptLines(common::LineReader& lines,
                                                               uint32_t flash_size,
                                                               Messages& messages) {
  ScriptParser parser(flash_size, messages);
  std::string line;
  while (lines.Next(line, kMaxScriptLine) != common::LineStatus::kEnd) {
    if (parser.Line(line) != ScriptParser::LineResult::kRead)
      return std::nullopt;
  }
  return parser.Finish();
}

ScriptParseResult ParseLegacyScript(const image::FlashImage& image, LegacyBlockList& list,
                                    Messages& messages) {
  FreeScriptBlocks(list);
  if (image.script_path.empty()) {
    messages.Show(BoxCaption::Error, kNoScriptPath);
    return {ScriptParseStatus::kCannotOpen};
  }
  const platform::NativePath path = platform::ToNativePath(image.script_path);
  // Without a software version the path is the image's folder: no script.
  common::LineReader lines;
  if (!path.ok() || lines.Open(path.value()) != common::LineReader::OpenResult::kOpened) {
    messages.Show(BoxCaption::Error, kCannotOpen);
    return {ScriptParseStatus::kCannotOpen};
  }
  auto blocks = ParseLegacyScriptLines(lines, image.flash_size, messages);
  if (!blocks)
    return {ScriptParseStatus::kScriptError};
  list.Assign(std::move(*blocks));
  return {ScriptParseStatus::kParsed};
}

}  // namespace nuv::legacy
