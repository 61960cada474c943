#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace nuv::toolcfg {

inline constexpr uint32_t kMaxFieldBits = 64;

// The `length`-bit field that starts at bit `position` of `bytes`, bits
// counted least significant first (bit n is bit n mod 8 of byte n div 8),
// its first bit becoming bit 0 of the value. A field of length 0 reads as 0.
// Nothing when the length exceeds 64 bits or the field does not lie wholly
// inside `bytes`.
std::optional<uint64_t> ReadBitField(std::span<const uint8_t> bytes, uint64_t position,
                                     uint32_t length);

}  // namespace nuv::toolcfg
