#include "image/crc32.h"

#include <array>

namespace nuv::image {
namespace {

// Below this many bytes the byte-at-a-time loop is as fast as making the
// extra tables would be.
constexpr size_t kSlicedFrom = 4096;

// Eight bytes per step ("slicing by 8"): table k gives the CRC effect of a
// byte followed by k zero bytes, so eight lookups that do not wait on each
// other replace eight that do. The tables are made from the caller's table,
// so the result is the byte-at-a-time result for any table.
uint32_t UpdateCrcSliced(const CrcTable& table, uint32_t crc, std::span<const uint8_t> bytes) {
  std::array<CrcTable, 8> t;
  t[0] = table;
  for (size_t k = 1; k < t.size(); ++k)
    for (size_t n = 0; n < 256; ++n)
      t[k][n] = (t[k - 1][n] >> 8) ^ table[t[k - 1][n] & 0xFF];
  const uint8_t* p = bytes.data();
  size_t left = bytes.size();
  for (; left >= 8; p += 8, left -= 8) {
    const uint32_t lo =
        crc ^ (uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24);
    const uint32_t hi =
        uint32_t{p[4]} | uint32_t{p[5]} << 8 | uint32_t{p[6]} << 16 | uint32_t{p[7]} << 24;
    crc = t[7][lo & 0xFF] ^ t[6][lo >> 8 & 0xFF] ^ t[5][lo >> 16 & 0xFF] ^ t[4][lo >> 24] ^
          t[3][hi & 0xFF] ^ t[2][hi >> 8 & 0xFF] ^ t[1][hi >> 16 & 0xFF] ^ t[0][hi >> 24];
  }
  for (; left > 0; ++p, --left)
    crc = (crc >> 8) ^ table[(crc ^ *p) & 0xFF];
  return crc;
}

}  // namespace

void BuildCrcTable(CrcTable& table) {
  for (uint32_t n = 0; n < table.size(); ++n) {
    uint32_t value = n;
    for (int bit = 0; bit < 8; ++bit)
      value = (value & 1) ? (value >> 1) ^ 0xEDB88320u : value >> 1;
    table[n] = value;
  }
}

uint32_t UpdateCrc(const CrcTable& table, uint32_t crc, std::span<const uint8_t> bytes) {
  if (bytes.size() >= kSlicedFrom)
    return UpdateCrcSliced(table, crc, bytes);
  for (uint8_t b : bytes)
    crc = (crc >> 8) ^ table[(crc ^ b) & 0xFF];
  return crc;
}

}  // namespace nuv::image
