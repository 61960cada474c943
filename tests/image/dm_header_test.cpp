#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "image/dm_header.h"
#include "image_builder.h"

namespace nuv::image {
namespace {

void Plant(std::vector<uint8_t>& data, size_t pos, uint8_t marker = '0') {
  std::copy(kDmMagic.begin(), kDmMagic.end(), data.begin() + static_cast<std::ptrdiff_t>(pos));
  if (pos + kDmMarkerOffset < data.size())
    data[pos + kDmMarkerOffset] = marker;
}

// The definition, position by position.
std::vector<size_t> Naive(const std::vector<uint8_t>& data) {
  std::vector<size_t> found;
  for (size_t p = 0; p + kDmHeaderFixedSize <= data.size(); ++p)
    if (std::memcmp(data.data() + p, kDmMagic.data(), kDmMagic.size()) == 0 &&
        data[p + kDmMarkerOffset] == kDmMarker)
      found.push_back(p);
  return found;
}

TEST(FindDmHeaders, FindsEveryPositionIncludingBothEnds) {
  std::vector<uint8_t> data(200, 0);
  for (size_t pos : {size_t{0}, size_t{29}, size_t{61}, size_t{172}})
    Plant(data, pos);
  EXPECT_EQ(FindDmHeaders(data), (std::vector<size_t>{0, 29, 61, 172}));
  EXPECT_EQ(FindDmHeaders(data, 2), (std::vector<size_t>{0, 29}));
  EXPECT_TRUE(FindDmHeaders(data, 0).empty());
}

TEST(FindDmHeaders, AMagicThatCannotHoldItsFixedBytesIsNoHeader) {
  for (size_t tail = 12; tail < kDmHeaderFixedSize; ++tail) {
    std::vector<uint8_t> data(100, '0');
    Plant(data, data.size() - tail);
    EXPECT_TRUE(FindDmHeaders(data).empty()) << "magic " << tail << " bytes before the end";
    EXPECT_FALSE(IsDmHeaderAt(data, data.size() - tail));
  }
  std::vector<uint8_t> data(100, '0');
  Plant(data, data.size() - kDmHeaderFixedSize);
  EXPECT_EQ(FindDmHeaders(data), std::vector<size_t>{data.size() - kDmHeaderFixedSize});
  EXPECT_TRUE(FindDmHeaders(std::span<const uint8_t>()).empty());
}

TEST(FindDmHeaders, AMagicWithoutTheMarkerIsIgnored) {
  std::vector<uint8_t> data(300, 0);
  Plant(data, 20, '1');
  Plant(data, 100, 0);
  Plant(data, 200, '0');
  EXPECT_EQ(FindDmHeaders(data), std::vector<size_t>{200});
  EXPECT_FALSE(IsDmHeaderAt(data, 20));
  EXPECT_TRUE(IsDmHeaderAt(data, 200));
  EXPECT_FALSE(IsDmHeaderAt(data, SIZE_MAX));
}

TEST(FindDmHeaders, AgreesWithTheDefinitionOnEveryAlignment) {
  // Headers at every offset around the 16-byte steps, in noisy data that
  // holds many partial magics.
  for (uint32_t seed = 1; seed <= 40; ++seed) {
    std::vector<uint8_t> data = samples::PatternBytes(300 + seed, seed);
    for (size_t i = 0; i < data.size(); i += 3)
      data[i] = (data[i] & 1) ? '*' : ')';
    size_t planted = 0;
    for (size_t pos = seed % 17; pos + kDmHeaderFixedSize <= data.size(); pos += 29 + seed % 5)
      Plant(data, pos, (++planted % 3 == 0) ? '1' : '0');
    const std::vector<size_t> expected = Naive(data);
    EXPECT_FALSE(expected.empty());
    EXPECT_EQ(FindDmHeaders(data), expected) << "seed " << seed;
  }
}

TEST(FindDmHeaders, DataFullOfMagicPiecesStillFindsTheRealOne) {
  std::vector<uint8_t> data(4096, '*');
  Plant(data, 1000);
  EXPECT_EQ(FindDmHeaders(data), std::vector<size_t>{1000});
  // Magics every 14 bytes, so that each one's marker falls on the "00"
  // after the next one: each is a header, and they overlap; the last one
  // that still has room for its 28 bytes starts at 252.
  std::vector<uint8_t> repeated(14 * 20, '0');
  for (size_t pos = 0; pos + 12 <= repeated.size(); pos += 14)
    std::copy(kDmMagic.begin(), kDmMagic.end(),
              repeated.begin() + static_cast<std::ptrdiff_t>(pos));
  const std::vector<size_t> found = FindDmHeaders(repeated);
  EXPECT_EQ(found.size(), 19u);
  EXPECT_EQ(found, Naive(repeated));
}

}  // namespace
}  // namespace nuv::image
