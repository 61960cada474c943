#include "exchange/import_bit_field.h"

#include <algorithm>

namespace nuv::exchange {

BitFieldWrite WriteImportBitField(std::span<std::uint8_t> base, std::int64_t bit_offset,
                                  std::int64_t bit_length, std::uint64_t value) {
  if (bit_offset < 0 || bit_length < 0 || bit_length > 64)
    return BitFieldWrite::kOutside;
  const std::uint64_t o = static_cast<std::uint64_t>(bit_offset);
  const std::uint64_t w = static_cast<std::uint64_t>(bit_length);
  const std::uint64_t first = o / 8;
  const unsigned s = static_cast<unsigned>(o % 8);
  const unsigned e = static_cast<unsigned>((o + w) % 8);
  const std::uint64_t n = (o + w + 7) / 8 - first;
  // The first byte is written even for a field of width 0.
  const std::uint64_t touched = std::max<std::uint64_t>(n, 1);
  if (first >= base.size() || touched > base.size() - first)
    return BitFieldWrite::kOutside;

  std::uint8_t& head = base[first];
  std::uint8_t& tail = base[first + touched - 1];
  const std::uint8_t low = static_cast<std::uint8_t>(head & ((1u << s) - 1));
  const std::uint8_t high = static_cast<std::uint8_t>(tail & ~((1u << e) - 1));
  head = static_cast<std::uint8_t>(((value << s) & 0xFF) | low);
  std::uint64_t rest = value >> (8 - s);
  for (std::uint64_t k = 1; k < n; ++k) {
    base[first + k] = static_cast<std::uint8_t>(rest & 0xFF);
    rest >>= 8;
  }
  if (e != 0 && n >= 2)
    tail = static_cast<std::uint8_t>(tail | high);
  return BitFieldWrite::kWritten;
}

}  // namespace nuv::exchange
