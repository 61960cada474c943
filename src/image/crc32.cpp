#include "image/crc32.h"

namespace nuv::image {

void BuildCrcTable(CrcTable& table) {
  for (uint32_t n = 0; n < table.size(); ++n) {
    uint32_t value = n;
    for (int bit = 0; bit < 8; ++bit)
      value = (value & 1) ? (value >> 1) ^ 0xEDB88320u : value >> 1;
    table[n] = value;
  }
}

uint32_t UpdateCrc(const CrcTable& table, uint32_t crc, std::span<const uint8_t> bytes) {
  for (uint8_t b : bytes)
    crc = (crc >> 8) ^ table[(crc ^ b) & 0xFF];
  return crc;
}

}  // namespace nuv::image
