#include "legacy/field_bits.h"

#include <algorithm>

#include "common/bytes.h"
#include "image/legacy_header.h"

namespace nuv::legacy {
namespace {

constexpr std::string_view kNoMatch = "Error block_id! No match block found!";
constexpr std::string_view kEntryOutside =
    "Error block_id! The block's data lies outside the flash image.";
constexpr std::string_view kNoConfigOffset = "Wrong bin file! The image has no config offset.";

bool FieldInside(size_t image_size, uint64_t first_bit, uint32_t bit_length) {
  const uint64_t bits = uint64_t{image_size} * 8;
  return first_bit <= bits && bit_length <= bits - first_bit;
}

}  // namespace

std::optional<uint32_t> ReadFieldBits(std::span<const uint8_t> image, uint64_t first_bit,
                                      uint32_t bit_length) {
  if (!FieldInside(image.size(), first_bit, bit_length))
    return std::nullopt;
  uint32_t value = 0;
  const uint32_t used = std::min(bit_length, kMaxValueBits);
  for (uint32_t k = 0; k < used; ++k) {
    const uint64_t bit = first_bit + k;
    if (image[bit / 8] >> (bit % 8) & 1)
      value |= uint32_t{1} << k;
  }
  return value;
}

bool WriteFieldBits(std::span<uint8_t> image, uint64_t first_bit, uint32_t bit_length,
                    uint32_t value) {
  if (!FieldInside(image.size(), first_bit, bit_length))
    return false;
  const uint32_t used = std::min(bit_length, kMaxValueBits);
  for (uint32_t k = 0; k < used; ++k) {
    const uint64_t bit = first_bit + k;
    const auto mask = static_cast<uint8_t>(1u << (bit % 8));
    uint8_t& byte = image[bit / 8];
    byte =
        (value >> k & 1) ? static_cast<uint8_t>(byte | mask) : static_cast<uint8_t>(byte & ~mask);
  }
  return true;
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
