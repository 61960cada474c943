#include "diff/byte_compare.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace nuv::diff {
namespace {

// Equal stretches are passed over this many bytes at a time.
constexpr size_t kPage = 4096;

uint64_t Word(const uint8_t* p) {
  uint64_t word;
  std::memcpy(&word, p, sizeof word);
  return word;
}

// A word whose bytes are 0x80 where the two words differ and 0 elsewhere.
uint64_t DifferingBytes(uint64_t x) {
  constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
  constexpr uint64_t kHigh = 0x8080808080808080ull;
  return (((x & kLow7) + kLow7) | x) & kHigh;
}

// Byte index (in memory order) of the first and last set byte of a
// little-endian word that is not zero.
size_t FirstByte(uint64_t x) {
  return static_cast<size_t>(std::countr_zero(x)) / 8;
}
size_t LastByte(uint64_t x) {
  return 7 - static_cast<size_t>(std::countl_zero(x)) / 8;
}

uint64_t CountInPage(const uint8_t* a, const uint8_t* b, size_t n) {
  uint64_t count = 0;
  size_t i = 0;
  for (; i + 8 <= n; i += 8)
    count += static_cast<uint64_t>(std::popcount(DifferingBytes(Word(a + i) ^ Word(b + i))));
  for (; i < n; ++i)
    count += a[i] != b[i];
  return count;
}

}  // namespace

std::optional<size_t> FirstDifference(std::span<const uint8_t> a, std::span<const uint8_t> b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t page = 0; page < n; page += kPage) {
    const size_t length = std::min(kPage, n - page);
    if (std::memcmp(a.data() + page, b.data() + page, length) == 0)
      continue;
    const auto [ia, ib] = std::mismatch(a.begin() + static_cast<ptrdiff_t>(page),
                                        a.begin() + static_cast<ptrdiff_t>(page + length),
                                        b.begin() + static_cast<ptrdiff_t>(page));
    return static_cast<size_t>(ia - a.begin());
  }
  return std::nullopt;
}

uint64_t CountDifferences(std::span<const uint8_t> a, std::span<const uint8_t> b) {
  const size_t n = std::min(a.size(), b.size());
  uint64_t count = 0;
  for (size_t page = 0; page < n; page += kPage) {
    const size_t length = std::min(kPage, n - page);
    if (std::memcmp(a.data() + page, b.data() + page, length) != 0)
      count += CountInPage(a.data() + page, b.data() + page, length);
  }
  return count;
}

size_t DifferenceRunEnd(std::span<const uint8_t> a, std::span<const uint8_t> b, size_t from,
                        size_t bridge) {
  const size_t n = std::min(a.size(), b.size());
  size_t last = from;  // the last differing byte seen
  size_t i = from + 1;
  while (i < n && i - last <= bridge) {
    if (i + 8 <= n) {
      const uint64_t x = DifferingBytes(Word(a.data() + i) ^ Word(b.data() + i));
      if (x != 0) {
        if (i + FirstByte(x) - last > bridge)
          break;
        last = i + LastByte(x);
      }
      i += 8;
    } else {
      if (a[i] != b[i])
        last = i;
      ++i;
    }
  }
  return last + 1;
}

}  // namespace nuv::diff
