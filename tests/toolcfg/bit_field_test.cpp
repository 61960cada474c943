#include "toolcfg/bit_field.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <vector>

namespace nuv::toolcfg {
namespace {

using Bytes = std::vector<uint8_t>;

// The field read one bit at a time, straight from the definition.
uint64_t Reference(const Bytes& bytes, uint64_t position, uint32_t length) {
  uint64_t value = 0;
  for (uint32_t i = 0; i < length; ++i) {
    const uint64_t bit = position + i;
    value |= static_cast<uint64_t>((bytes[bit / 8] >> (bit % 8)) & 1) << i;
  }
  return value;
}

TEST(ReadBitField, KnownFields) {
  EXPECT_EQ(ReadBitField(Bytes{0xF0, 0x0F}, 4, 8), 0xFFu);
  EXPECT_EQ(ReadBitField(Bytes{0xF0, 0xFF, 0xFF, 0xFF, 0x0F}, 4, 32), 0xFFFFFFFFu);
  EXPECT_EQ(ReadBitField(Bytes(8, 0xFF), 0, 64), std::numeric_limits<uint64_t>::max());
  EXPECT_EQ(ReadBitField(Bytes{0x34, 0x12}, 0, 16), 0x1234u);  // little-endian
  EXPECT_EQ(ReadBitField(Bytes{0b1010'0000}, 5, 3), 0b101u);
  EXPECT_EQ(ReadBitField(Bytes{}, 0, 0), 0u);
}

TEST(ReadBitField, EveryOffsetAndLengthMatchesTheDefinition) {
  Bytes bytes(12);
  std::mt19937 random(7);
  for (uint8_t& b : bytes)
    b = static_cast<uint8_t>(random());
  for (uint64_t position = 0; position <= 96; ++position) {
    for (uint32_t length = 0; length <= 64; ++length) {
      const std::optional<uint64_t> value = ReadBitField(bytes, position, length);
      if (position + length > 96) {
        EXPECT_FALSE(value) << position << "+" << length;
      } else {
        ASSERT_TRUE(value);
        EXPECT_EQ(*value, Reference(bytes, position, length)) << position << "+" << length;
      }
    }
  }
}

TEST(ReadBitField, RefusesWhatDoesNotFit) {
  EXPECT_FALSE(ReadBitField(Bytes(16), 0, 65));
  EXPECT_FALSE(ReadBitField(Bytes(2), 9, 8));
  EXPECT_FALSE(ReadBitField(Bytes(2), std::numeric_limits<uint64_t>::max(), 1));
  EXPECT_EQ(ReadBitField(Bytes(2), 16, 0), 0u);
  EXPECT_FALSE(ReadBitField(Bytes(2), 17, 0));
}

}  // namespace
}  // namespace nuv::toolcfg
