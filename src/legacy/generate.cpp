#include "legacy/generate.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string_view>

#include "common/bytes.h"
#include "common/numbers.h"
#include "image/crc32.h"
#include "image/legacy_header.h"
#include "legacy/hw_info.h"
#include "platform/input_file.h"
#include "platform/output_file.h"
#include "platform/paths.h"

namespace nuv::legacy {
namespace {

constexpr std::string_view kNoOutput = "Please select output file!";
constexpr std::string_view kCannotOpenFile = "Failed to open the browsed file!\n File name = ";
constexpr std::string_view kHwInfoFailed = "Parse hw info file failed";
constexpr std::string_view kOverflow2 =
    "Overflow Error 2!\nCurrent block_id = 0, file data overflow next block_id > 0!";
constexpr std::string_view kOverflow1 =
    "Overflow Error 1!\n Current block_id = 0, overwrite the next bank-flash_header_info.";
constexpr std::string_view kOverflow0 =
    "Overflow Error 0!\nCurrent block_id = 0, file data overflow next block_id = 0!";
constexpr std::string_view kTooBig = "Error: input file size is too big!";
constexpr std::string_view kNoMatch = "Error block_id! No match block found!";
constexpr std::string_view kWrongConfig = "Wrong customer config file!";
constexpr std::string_view kWrongKey = "Wrong abs private key file!";
constexpr std::string_view kBadAddress = "Please set a valid flash address!";
constexpr std::string_view kCannotCreate = "Can't open output file!";
// Images and requests that the tool was never given before.
constexpr std::string_view kShortKey = "Wrong abs private key file! It holds fewer than 133 bytes.";
constexpr std::string_view kDuplicateId =
    "Error block_id! More than one block carries this block_id.";
constexpr std::string_view kOutsideImage =
    "Overflow Error!\nCurrent block_id = 0, file data lies outside the flash image!";
constexpr std::string_view kTailOutside =
    "Wrong bin file! The tail area starts beyond the flash size.";
constexpr std::string_view kHeaderOutside =
    "Wrong bin file! The block header lies outside the flash image.";
constexpr std::string_view kConfigOutside = "The configuration region lies outside the image!";
constexpr std::string_view kStale =
    "The script was parsed again: this Customer Config dialog is out of date. Please use the "
    "new one.";
constexpr std::string_view kNotARow = "Error block! Only file and hw info blocks take a file.";

constexpr size_t kKeyFileLimit = 1024;
constexpr size_t kMaxKeyFile = 198;
constexpr size_t kMinKeyFile = 133;
constexpr uint64_t kTailAlignment = 65536;
// What fills the bytes before the tail area that a shrinking block leaves
// and the image cannot supply: erased flash.
constexpr uint8_t kErased = 0xFF;

// Only a regular file is read: a folder holds no data, and a named pipe or a
// device would keep the tool waiting.
platform::Result<platform::InputFile> OpenInput(std::string_view name) {
  const platform::NativePath path = platform::ToNativePath(name);
  if (!path.ok())
    return path.failure();
  return platform::InputFile::Open(path.value());
}

class Generator {
 public:
  Generator(image::FlashImage& image, const LegacyBlockList& list, Messages& messages)
      : image_(image), list_(list), messages_(messages), bytes_(image.mutable_bytes()) {}

  GenerateOutcome Run(const GenerateRequest& request);

 private:
  // Each step of Run either is done or has stopped the generation, after
  // its message.
  enum class Step { kDone, kStopped };
  Step Fail(std::string_view text) {
    messages_.Show(BoxCaption::Error, text);
    return Step::kStopped;
  }
  uint64_t flash_size() const { return bytes_.size(); }
  Step FindTail();
  std::optional<std::vector<uint8_t>> ReadInput(const std::string& path, size_t limit);
  Step PlaceRow(const GenerateRow& row);
  Step PlaceInConfigArea(size_t index, std::span<const uint8_t> data);
  Step PlaceInEntry(uint8_t block_id, std::span<const uint8_t> data);
  Step WriteEntryTable();
  std::optional<uint32_t> ConfigOffset();
  Step ImportConfig(const std::string& path);
  Step ImportKey(const std::string& path);
  void Patch(const std::string& address, const std::string& value);
  Step WriteOutput(const std::string& path);

  image::FlashImage& image_;
  const LegacyBlockList& list_;
  Messages& messages_;
  std::span<uint8_t> bytes_;
  uint64_t tail_size_ = 0;
};

GenerateOutcome Generator::Run(const GenerateRequest& request) {
  GenerateOutcome outcome;
  if (request.output_path.empty()) {
    Fail(kNoOutput);
    return outcome;
  }
  const auto names_nothing = [&](const GenerateRow& row) {
    return list_.Find(row.block) == nullptr;
  };
  if ((request.list_generation && *request.list_generation != list_.generation()) ||
      std::any_of(request.rows.begin(), request.rows.end(), names_nothing)) {
    Fail(kStale);
    return outcome;
  }
  if (FindTail() != Step::kDone)
    return outcome;
  outcome.tail_size = static_cast<uint32_t>(tail_size_);
  outcome.started = true;
  for (const GenerateRow& row : request.rows) {
    if (!row.path.empty() && PlaceRow(row) != Step::kDone)
      return outcome;
    ++outcome.rows_done;
  }
  if (WriteEntryTable() != Step::kDone)
    return outcome;
  if (!request.config_path.empty() && ImportConfig(request.config_path) != Step::kDone)
    return outcome;
  if (!request.key_path.empty() && ImportKey(request.key_path) != Step::kDone)
    return outcome;
  if (!request.flash_address.empty())
    Patch(request.flash_address, request.byte_value);
  if (WriteOutput(request.output_path) == Step::kDone)
    outcome.result = GenerateResult::kWritten;
  return outcome;
}

Generator::Step Generator::FindTail() {
  tail_size_ = 0;
  const image::BlockEntry* tail = FirstTailEntry(image_.legacy_entries);
  if (!tail)
    return Step::kDone;
  if (tail->offset() > flash_size())
    return Fail(kTailOutside);
  tail_size_ = flash_size() - tail->offset();
  return Step::kDone;
}

// At most `limit` bytes of the file; nothing after the message when it
// cannot be read.
std::optional<std::vector<uint8_t>> Generator::ReadInput(const std::string& path, size_t limit) {
  platform::Result<platform::InputFile> in = OpenInput(path);
  std::optional<std::vector<uint8_t>> bytes;
  if (in.ok())
    bytes = in.value().ReadAll(limit);
  if (!bytes)
    Fail(std::string(kCannotOpenFile) + path);
  return bytes;
}

Generator::Step Generator::PlaceRow(const GenerateRow& row) {
  platform::Result<platform::InputFile> in = OpenInput(row.path);
  if (!in.ok())
    return Fail(std::string(kCannotOpenFile) + row.path);
  const ScriptBlock& block = *list_.Find(row.block);
  if (!block.is_row_block())
    return Fail(kNotARow);
  std::vector<uint8_t> data;
  if (block.em == kFileBlock) {
    std::optional<std::vector<uint8_t>> read = in.value().ReadAll(kMaxRowData);
    if (!read)
      return Fail(std::string(kCannotOpenFile) + row.path);
    data = std::move(*read);
  } else {
    // A hardware-info block always takes its 240 bytes, whatever the file's length.
    common::LineReader lines;
    lines.Open(std::move(in.value()));
    const std::optional<HwInfo> info = ParseHwInfo(lines, messages_);
    if (!info)
      return Fail(kHwInfoFailed);
    const auto bytes = info->Bytes();
    data.assign(bytes.begin(), bytes.end());
  }
  return block.block_id == 0 ? PlaceInConfigArea(row.block.index, data)
                             : PlaceInEntry(block.block_id, data);
}

std::optional<uint32_t> Generator::ConfigOffset() {
  const auto offset = common::ReadU32(bytes_, image::kLegacyConfigOffsetPos);
  if (!offset)
    Fail(kConfigOutside);
  return offset;
}

Generator::Step Generator::PlaceInConfigArea(size_t index, std::span<const uint8_t> data) {
  const auto config_offset = ConfigOffset();
  if (!config_offset)
    return Step::kStopped;
  const std::span<const ScriptBlock> blocks = list_.blocks();
  const uint64_t target = uint64_t{*config_offset} + blocks[index].offset;
  const uint64_t end = target + data.size();
  if (index + 1 == blocks.size()) {
    if (!image_.legacy_entries.empty() && end > image_.legacy_entries.front().offset())
      return Fail(kOverflow2);
  } else if (const ScriptBlock& next = blocks[index + 1]; next.block_id != 0) {
    if (end > image_.dmh_offset)
      messages_.Show(BoxCaption::Error, kOverflow1);
  } else if (end > uint64_t{*config_offset} + next.offset) {
    return Fail(kOverflow0);
  }
  if (!common::InRange(bytes_.size(), target, data.size()))
    return Fail(kOutsideImage);
  std::copy(data.begin(), data.end(), bytes_.begin() + static_cast<ptrdiff_t>(target));
  return Step::kDone;
}

Generator::Step Generator::PlaceInEntry(uint8_t block_id, std::span<const uint8_t> data) {
  auto& entries = image_.legacy_entries;
  const auto carries = [&](const image::BlockEntry& e) { return e.block_id() == block_id; };
  const auto match = std::find_if(entries.begin(), entries.end(), carries);
  if (match == entries.end())
    return Fail(kNoMatch);
  if (std::find_if(match + 1, entries.end(), carries) != entries.end())
    return Fail(kDuplicateId);

  // Everything between the block and the tail area moves with the block's
  // end: one pass over that region, whatever the row count.
  const uint64_t limit = flash_size() - tail_size_;  // start of the tail area
  const uint64_t offset = match->offset();
  const int64_t room = static_cast<int64_t>(limit) - static_cast<int64_t>(offset) -
                       static_cast<int64_t>(data.size());
  if (room < 0)
    return Fail(kTooBig);
  const uint64_t from = offset + match->size();
  const uint64_t kept = from < flash_size() ? std::min<uint64_t>(room, flash_size() - from) : 0;
  uint8_t* const base = bytes_.data();
  const uint64_t to = offset + data.size();
  if (kept > 0)
    std::memmove(base + to, base + from, kept);
  std::fill(base + to + kept, base + limit, kErased);
  if (!data.empty())
    std::memcpy(base + offset, data.data(), data.size());

  match->set_size(static_cast<uint32_t>(data.size()));
  if (!match->has_no_crc())
    match->set_crc(image::UpdateCrc(image::kCrcStart, bytes_.subspan(offset, data.size())));

  for (auto entry = match + 1; entry != entries.end(); ++entry) {
    if (entry->offset() >= limit)
      continue;
    const image::BlockEntry& previous = *(entry - 1);
    uint64_t moved = uint64_t{previous.offset()} + previous.size();
    if (entry->tail_flag() == 1)
      moved = (moved + kTailAlignment - 1) / kTailAlignment * kTailAlignment;
    // The entry keeps its new offset even when it then ends inside the
    // tail area: a stop never undoes what it did.
    entry->set_offset(static_cast<uint32_t>(moved));
    if (moved + entry->size() > limit)
      return Fail(kTooBig);
  }
  return Step::kDone;
}

Generator::Step Generator::WriteEntryTable() {
  const auto& entries = image_.legacy_entries;
  const uint64_t at = uint64_t{image_.dmh_offset} + 12;
  if (!common::InRange(bytes_.size(), at, entries.size() * image::kBlockEntrySize))
    return Fail(kHeaderOutside);
  auto out = bytes_.begin() + static_cast<ptrdiff_t>(at);
  for (const image::BlockEntry& entry : entries)
    out = std::copy(entry.bytes().begin(), entry.bytes().end(), out);
  return Step::kDone;
}

Generator::Step Generator::ImportConfig(const std::string& path) {
  const std::optional<std::vector<uint8_t>> data =
      ReadInput(path, size_t{image_.config_length} + 10);
  if (!data)
    return Step::kStopped;
  const size_t length = image_.config_length;
  if (data->size() != length)
    return Fail(kWrongConfig);
  const auto config_offset = ConfigOffset();
  if (!config_offset)
    return Step::kStopped;
  if (!common::InRange(bytes_.size(), *config_offset, length))
    return Fail(kConfigOutside);
  std::copy(data->begin(), data->end(), bytes_.begin() + static_cast<ptrdiff_t>(*config_offset));
  return Step::kDone;
}

Generator::Step Generator::ImportKey(const std::string& path) {
  const std::optional<std::vector<uint8_t>> key = ReadInput(path, kKeyFileLimit);
  if (!key)
    return Step::kStopped;
  if (key->size() > kMaxKeyFile)
    return Fail(kWrongKey);
  if (key->size() < kMinKeyFile)
    return Fail(kShortKey);
  const auto config_offset = ConfigOffset();
  if (!config_offset)
    return Step::kStopped;
  const uint64_t at = uint64_t{*config_offset} + kKeyRecordOffset;
  if (!common::InRange(bytes_.size(), at, kKeyRecordSize))
    return Fail(kConfigOutside);
  auto out = bytes_.begin() + static_cast<ptrdiff_t>(at);
  out[0] = 0x80;
  out[1] = 0x00;
  std::copy(key->begin() + 5, key->begin() + kMinKeyFile, out + 2);
  return Step::kDone;
}

void Generator::Patch(const std::string& address, const std::string& value) {
  const uint32_t at = common::CStrToUL(address, 16);
  if (at >= flash_size()) {
    messages_.Show(BoxCaption::Error, kBadAddress);
    return;
  }
  bytes_[at] = static_cast<uint8_t>(common::CStrToUL(value, 16) & 0xFF);
}

Generator::Step Generator::WriteOutput(const std::string& path) {
  const platform::NativePath target = platform::ToNativePath(path);
  if (target.ok() && platform::WriteFileReplacing(target.value(), bytes_).ok())
    return Step::kDone;
  return Fail(kCannotCreate);
}

std::vector<size_t> BlocksWhere(const LegacyBlockList& list, bool (ScriptBlock::*test)() const) {
  std::vector<size_t> out;
  const auto blocks = list.blocks();
  for (size_t i = 0; i < blocks.size(); ++i)
    if ((blocks[i].*test)())
      out.push_back(i);
  return out;
}

}  // namespace

GenerateOutcome Generate(image::FlashImage& image, const LegacyBlockList& list,
                         const GenerateRequest& request, Messages& messages) {
  return Generator(image, list, messages).Run(request);
}

const image::BlockEntry* FirstTailEntry(std::span<const image::BlockEntry> entries) {
  const auto tail = std::find_if(entries.begin(), entries.end(),
                                 [](const image::BlockEntry& e) { return e.tail_flag() == 1; });
  return tail == entries.end() ? nullptr : &*tail;
}

std::vector<size_t> RowBlocks(const LegacyBlockList& list) {
  return BlocksWhere(list, &ScriptBlock::is_row_block);
}

std::vector<size_t> ButtonBlocks(const LegacyBlockList& list) {
  return BlocksWhere(list, &ScriptBlock::is_field_block);
}

}  // namespace nuv::legacy
