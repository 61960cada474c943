#include "common/bit_field.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace nuv::common {
namespace {

TEST(BitField, OnlyTheFieldsBitsChange) {
  const struct Case {
    std::vector<uint8_t> before;
    uint32_t first, length;
    uint64_t value;
    std::vector<uint8_t> after;
  } cases[] = {
      {{0xFF}, 3, 4, 9, {0xCF}},
      {{0x00, 0x00}, 6, 4, 0xF, {0xC0, 0x03}},
      {{0x00, 0x00}, 0, 16, 0x1234, {0x34, 0x12}},
      // Only the value's low 4 bits (0) go in.
      {{0xAA, 0xAA}, 6, 4, 0x1F0, {0x2A, 0xA8}},
      {std::vector<uint8_t>(10, 0x81),
       7,
       64,
       0xF00DFACE12345678u,
       {0x01, 0x3C, 0x2B, 0x1A, 0x09, 0x67, 0xFD, 0x06, 0xF8, 0x81}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.first);
    std::vector<uint8_t> bytes = c.before;
    ASSERT_EQ(WriteBitField(bytes, c.first, c.length, c.value), BoundedWrite::kWritten);
    EXPECT_EQ(bytes, c.after);
    const uint64_t mask = c.length == 64 ? ~uint64_t{0} : (uint64_t{1} << c.length) - 1;
    EXPECT_EQ(ReadBitField(bytes, c.first, c.length), c.value & mask);
  }
}

TEST(BitField, RefusesWhatDoesNotFit) {
  std::vector<uint8_t> two(2);
  EXPECT_FALSE(ReadBitField(std::vector<uint8_t>(16), 0, 65));
  EXPECT_FALSE(ReadBitField(two, 9, 8));
  EXPECT_FALSE(ReadBitField(two, std::numeric_limits<uint64_t>::max(), 1));
  EXPECT_EQ(ReadBitField(two, 16, 0), 0u);
  EXPECT_FALSE(ReadBitField(two, 17, 0));
  EXPECT_EQ(WriteBitField(two, 15, 2, 3), BoundedWrite::kOutside);
  EXPECT_EQ(two, std::vector<uint8_t>(2));
}

}  // namespace
}  // namespace nuv::common
