#include <gtest/gtest.h>

#include "image/crc32.h"
#include "image_builder.h"

namespace nuv::image {
namespace {

// Check values of the CRC-32 without its final inversion (zlib's crc32 of
// the same bytes, inverted), over the whole and in pieces.
TEST(Crc32, CheckValuesInOneAndInPieces) {
  CrcTable table{};
  BuildCrcTable(table);
  EXPECT_EQ(UpdateCrc(table, kCrcStart, samples::TextBytes("123456789")), 0x340BC6D9u);
  EXPECT_EQ(UpdateCrc(table, kCrcStart, samples::TextBytes("abc")), 0xCADBBE3Du);
  EXPECT_EQ(UpdateCrc(table, kCrcStart, {}), 0xFFFFFFFFu);
  const std::vector<uint8_t> data = samples::PatternBytes(1000, 7);
  const std::span<const uint8_t> all(data);
  EXPECT_EQ(UpdateCrc(table, UpdateCrc(table, kCrcStart, all.first(333)), all.subspan(333)),
            UpdateCrc(table, kCrcStart, all));
}

}  // namespace
}  // namespace nuv::image
