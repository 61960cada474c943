#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "common/bytes.h"

namespace nuv::common {

// The fields of the legacy script and the items of the tool-config script
// are bit fields of the image's bytes, counted least significant first: bit
// n is bit n mod 8 of byte n div 8, and a field's first bit is bit 0 of its
// value. (The workbook import writes items its own way; see
// WriteImportBitField.)
inline constexpr uint32_t kMaxFieldBits = 64;

// True when the `length` bits from `first_bit` lie inside `size` bytes.
constexpr bool BitsInRange(size_t size, uint64_t first_bit, uint64_t length) {
  const uint64_t bits = uint64_t{size} * 8;
  return first_bit <= bits && length <= bits - first_bit;
}

// The `length`-bit field at `first_bit`; a field of length 0 reads as 0.
// Nothing when it is longer than 64 bits or does not lie wholly inside
// `bytes`.
std::optional<uint64_t> ReadBitField(std::span<const uint8_t> bytes, uint64_t first_bit,
                                     uint32_t length);

// Writes the value's low `length` bits into the field; every other bit
// keeps its value. kOutside, writing nothing, when the field is longer than
// 64 bits or does not lie wholly inside `bytes`.
[[nodiscard]] BoundedWrite WriteBitField(std::span<uint8_t> bytes, uint64_t first_bit,
                                         uint32_t length, uint64_t value);

}  // namespace nuv::common
