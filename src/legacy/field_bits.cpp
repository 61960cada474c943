#include "legacy/field_bits.h"

#include <algorithm>

#include "common/bit_field.h"
#include "common/bytes.h"
#include "image/legacy_header.h"

namespace nuv::legacy {
namespace {

constexpr std::string_view kNoMatch = "Error block_id! No match block found!";
constexpr std::string_view kEntryOutside =
    "Error block_id! The block's data lies outside the flash image.";
constexpr std::string_view kNoConfigOffset = "Wrong bin file! The image has no config offset.";

}  // namespace

std::optional<uint32_t> ReadFieldBits(std::span<const uint8_t> image, uint64_t first_bit,
                                      uint32_t bit_length) {
  if (!common::BitsInRange(image.size(), first_bit, bit_length))
    return std::nullopt;
  return static_cast<uint32_t>(
      *common::ReadBitField(image, first_bit, std::min(bit_length, kMaxValueBits)));
}

common::BoundedWrite WriteFieldBits(std::span<uint8_t> image, uint64_t first_bit,
                                    uint32_t bit_length, uint32_t value) {
  if (!common::BitsInRange(image.size(), first_bit, bit_length))
    return common::BoundedWrite::kOutside;
  return common::WriteBitField(image, first_bit, std::min(bit_length, kMaxValueBits), value);
}

std::optional<BlockBase> FindBlockBase(const image::FlashImage& image, const ScriptBlock& block,
                                       Messages& messages) {
  const std::span<const uint8_t> bytes = image.bytes();
  if (block.block_id == 0) {
    const auto config_offset = common::ReadU32(bytes, image::kLegacyConfigOffsetPos);
    if (!config_offset) {
      messages.Show(BoxCaption::Error, kNoConfigOffset);
      return std::nullopt;
    }
    return BlockBase{uint64_t{*config_offset} + block.offset, std::nullopt};
  }
  const auto& entries = image.legacy_entries;
  const auto match = std::find_if(entries.begin(), entries.end(), [&](const auto& entry) {
    return entry.block_id() == block.block_id;
  });
  if (match == entries.end()) {
    messages.Show(BoxCaption::Error, kNoMatch);
    return std::nullopt;
  }
  if (!common::InRange(bytes.size(), match->offset(), match->size())) {
    messages.Show(BoxCaption::Error, kEntryOutside);
    return std::nullopt;
  }
  return BlockBase{uint64_t{match->offset()} + block.offset,
                   static_cast<size_t>(match - entries.begin())};
}

ByteSpan TextFieldBytes(uint64_t base, const ScriptField& field) {
  const uint64_t first = field.bit_offset / 8;
  const uint64_t end = (uint64_t{field.bit_offset} + field.bit_length + 7) / 8;
  return {base + first, end - first};
}

}  // namespace nuv::legacy
