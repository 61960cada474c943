#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "common/bytes.h"
#include "image/flash_image.h"
#include "legacy/script_model.h"
#include "support/messages.h"

namespace nuv::legacy {

// Number and list fields hold at most this many bits; of a longer field only
// the first 32 are read and written, the others keep their values.
inline constexpr uint32_t kMaxValueBits = 32;

// A field's bits as common::ReadBitField counts them. Nothing when the
// field does not lie wholly inside `image`.
std::optional<uint32_t> ReadFieldBits(std::span<const uint8_t> image, uint64_t first_bit,
                                      uint32_t bit_length);
// Writes the value's low bits into the field; every other bit of the image
// keeps its value. kOutside, writing nothing, when the field does not lie
// wholly inside `image`.
[[nodiscard]] common::BoundedWrite WriteFieldBits(std::span<uint8_t> image, uint64_t first_bit,
                                                  uint32_t bit_length, uint32_t value);

// Where a block's fields are counted from.
struct BlockBase {
  uint64_t byte = 0;            // image position of the block base
  std::optional<size_t> entry;  // block id != 0: the legacy entry that holds the block
};

// Block id 0: config_offset (image word at 28) + the block's offset; block
// id b: the offset of the first legacy entry with block_id b + the block's
// offset. A block id that no entry carries, or an entry whose data does not
// lie inside the image, is refused with a message (caption "error").
std::optional<BlockBase> FindBlockBase(const image::FlashImage& image, const ScriptBlock& block,
                                       Messages& messages);

// The bytes a text field covers: whole bytes from the one that holds its
// first bit to the one that holds its last.
struct ByteSpan {
  uint64_t first = 0;
  uint64_t count = 0;
};
ByteSpan TextFieldBytes(uint64_t base, const ScriptField& field);

// The first bit of a number or list field in the image.
inline uint64_t FieldFirstBit(uint64_t base, const ScriptField& field) {
  return base * 8 + field.bit_offset;
}

}  // namespace nuv::legacy
