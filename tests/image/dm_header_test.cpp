// The search for DM headers. Its agreement with the definition on any bytes
// is the dm_scan fuzz target's.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "image/dm_header.h"

namespace nuv::image {
namespace {

void Plant(std::vector<uint8_t>& data, size_t pos, uint8_t marker = '0') {
  std::copy(kDmMagic.begin(), kDmMagic.end(), data.begin() + static_cast<std::ptrdiff_t>(pos));
  if (pos + kDmMarkerOffset < data.size())
    data[pos + kDmMarkerOffset] = marker;
}

TEST(FindDmHeaders, FindsEveryHeaderWithItsMarkerUpToTheLimit) {
  std::vector<uint8_t> data(300, 0);
  for (size_t pos : {size_t{0}, size_t{29}, size_t{61}, size_t{272}})
    Plant(data, pos);
  Plant(data, 120, '1');
  Plant(data, 200, 0);
  EXPECT_EQ(FindDmHeaders(data), (std::vector<size_t>{0, 29, 61, 272}));
  EXPECT_EQ(FindDmHeaders(data, 2), (std::vector<size_t>{0, 29}));
  EXPECT_TRUE(FindDmHeaders(data, 0).empty());
  EXPECT_TRUE(IsDmHeaderAt(data, 61));
  EXPECT_FALSE(IsDmHeaderAt(data, 120));
  EXPECT_FALSE(IsDmHeaderAt(data, SIZE_MAX));
  EXPECT_TRUE(FindDmHeaders(std::span<const uint8_t>()).empty());
}

// The search takes 32 positions at a time, then 16, then one: the limit
// must hold in each of them, so the last three headers an image can hold
// are placed at every alignment of its end.
TEST(FindDmHeaders, TheLimitHoldsWhereverTheHeadersFallAgainstTheVectorWidths) {
  for (size_t size = 2 * 14 + kDmHeaderFixedSize; size < 2 * 14 + kDmHeaderFixedSize + 64; ++size) {
    std::vector<uint8_t> data(size, '0');
    const size_t last = size - kDmHeaderFixedSize;
    const std::vector<size_t> all = {last - 28, last - 14, last};
    for (size_t pos : all)
      Plant(data, pos);
    for (size_t limit = 1; limit <= all.size(); ++limit)
      EXPECT_EQ(FindDmHeaders(data, limit), std::vector<size_t>(all.begin(), all.begin() + limit))
          << "image of " << size << " bytes, limit " << limit;
  }
}

TEST(FindDmHeaders, AMagicThatCannotHoldItsFixedBytesIsNoHeader) {
  for (size_t tail = 12; tail <= kDmHeaderFixedSize; ++tail) {
    std::vector<uint8_t> data(100, '0');
    Plant(data, data.size() - tail);
    const bool fits = tail == kDmHeaderFixedSize;
    EXPECT_EQ(FindDmHeaders(data).size(), fits ? 1u : 0u) << "magic " << tail << " before the end";
    EXPECT_EQ(IsDmHeaderAt(data, data.size() - tail), fits);
  }
}

TEST(FindDmHeaders, OverlappingAndPartialMagicsAreSearchedByteByByte) {
  std::vector<uint8_t> data(4096, '*');
  Plant(data, 1000);
  EXPECT_EQ(FindDmHeaders(data), std::vector<size_t>{1000});
  // Magics every 14 bytes, so that each one's marker falls on the "00"
  // after the next one: each is a header, and they overlap; the last one
  // that still has room for its 28 bytes starts at 252.
  std::vector<uint8_t> repeated(14 * 20, '0');
  std::vector<size_t> expected;
  for (size_t pos = 0; pos + 12 <= repeated.size(); pos += 14) {
    std::copy(kDmMagic.begin(), kDmMagic.end(),
              repeated.begin() + static_cast<std::ptrdiff_t>(pos));
    if (pos <= 252)
      expected.push_back(pos);
  }
  EXPECT_EQ(FindDmHeaders(repeated), expected);
}

}  // namespace
}  // namespace nuv::image
