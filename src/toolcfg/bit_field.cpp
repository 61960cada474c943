#include "toolcfg/bit_field.h"

#include <algorithm>

namespace nuv::toolcfg {

std::optional<uint64_t> ReadBitField(std::span<const uint8_t> bytes, uint64_t position,
                                     uint32_t length) {
  if (length > kMaxFieldBits)
    return std::nullopt;
  const uint64_t total_bits = static_cast<uint64_t>(bytes.size()) * 8;
  if (position > total_bits || length > total_bits - position)
    return std::nullopt;
  uint64_t value = 0;
  uint32_t got = 0;
  size_t byte = static_cast<size_t>(position / 8);
  uint32_t shift = static_cast<uint32_t>(position % 8);
  while (got < length) {
    const uint32_t take = std::min(8 - shift, length - got);
    const uint64_t bits = (static_cast<uint64_t>(bytes[byte]) >> shift) & ((1u << take) - 1);
    value |= bits << got;
    got += take;
    shift = 0;
    ++byte;
  }
  return value;
}

}  // namespace nuv::toolcfg
