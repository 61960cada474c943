#include "common/bit_field.h"

#include <algorithm>

namespace nuv::common {

std::optional<uint64_t> ReadBitField(std::span<const uint8_t> bytes, uint64_t first_bit,
                                     uint32_t length) {
  if (length > kMaxFieldBits || !BitsInRange(bytes.size(), first_bit, length))
    return std::nullopt;
  uint64_t value = 0;
  uint32_t done = 0;
  size_t byte = static_cast<size_t>(first_bit / 8);
  uint32_t shift = static_cast<uint32_t>(first_bit % 8);
  while (done < length) {
    const uint32_t take = std::min(8 - shift, length - done);
    const uint64_t bits = (uint64_t{bytes[byte]} >> shift) & ((1u << take) - 1);
    value |= bits << done;
    done += take;
    shift = 0;
    ++byte;
  }
  return value;
}

BoundedWrite WriteBitField(std::span<uint8_t> bytes, uint64_t first_bit, uint32_t length,
                           uint64_t value) {
  if (length > kMaxFieldBits || !BitsInRange(bytes.size(), first_bit, length))
    return BoundedWrite::kOutside;
  uint32_t done = 0;
  size_t byte = static_cast<size_t>(first_bit / 8);
  uint32_t shift = static_cast<uint32_t>(first_bit % 8);
  while (done < length) {
    const uint32_t take = std::min(8 - shift, length - done);
    const auto mask = static_cast<uint8_t>(((1u << take) - 1) << shift);
    const auto bits = static_cast<uint8_t>(((value >> done) << shift) & mask);
    bytes[byte] = static_cast<uint8_t>((bytes[byte] & ~mask) | bits);
    done += take;
    shift = 0;
    ++byte;
  }
  return BoundedWrite::kWritten;
}

}  // namespace nuv::common
