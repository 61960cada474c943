#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace nuv::image::test {

// The block CRC as its definition gives it, one table lookup per byte:
// table entry n is n shifted right eight times, 0xEDB88320 folded in after
// each 1 bit shifted out. What the fast CRC must always agree with.
inline uint32_t ReferenceCrc(uint32_t crc, std::span<const uint8_t> bytes) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t n = 0; n < t.size(); ++n) {
      uint32_t value = n;
      for (int bit = 0; bit < 8; ++bit)
        value = (value & 1) ? (value >> 1) ^ 0xEDB88320u : value >> 1;
      t[n] = value;
    }
    return t;
  }();
  for (const uint8_t b : bytes)
    crc = (crc >> 8) ^ table[(crc ^ b) & 0xFF];
  return crc;
}

}  // namespace nuv::image::test
