#include <gtest/gtest.h>

#include "crc_reference.h"
#include "image/crc32.h"
#include "image_builder.h"

namespace nuv::image {
namespace {

// Check values of the CRC-32 without its final inversion (zlib's crc32 of
// the same bytes, inverted), over the whole and in pieces; no bytes keep
// any running value.
TEST(Crc32, CheckValuesInOneAndInPieces) {
  EXPECT_EQ(UpdateCrc(kCrcStart, samples::TextBytes("123456789")), 0x340BC6D9u);
  EXPECT_EQ(UpdateCrc(kCrcStart, samples::TextBytes("abc")), 0xCADBBE3Du);
  EXPECT_EQ(UpdateCrc(kCrcStart, {}), 0xFFFFFFFFu);
  EXPECT_EQ(UpdateCrc(0x12345678, {}), 0x12345678u);
  const std::vector<uint8_t> data = samples::PatternBytes(1000, 7);
  const std::span<const uint8_t> all(data);
  EXPECT_EQ(UpdateCrc(UpdateCrc(kCrcStart, all.first(333)), all.subspan(333)),
            UpdateCrc(kCrcStart, all));
}

// The folding code takes other paths by length and by the alignment of the
// first byte: every length up to a few folds, at every alignment of a
// 64-byte line, and a large block, give what the byte-wise definition gives.
TEST(Crc32, AgreesWithTheTableDefinitionAtEveryLengthAndAlignment) {
  const std::vector<uint8_t> data = samples::PatternBytes((1 << 20) + 64, 11);
  const std::span<const uint8_t> all(data);
  for (size_t start = 0; start < 64; ++start)
    for (size_t length = 0; length <= 600; ++length)
      ASSERT_EQ(UpdateCrc(kCrcStart, all.subspan(start, length)),
                test::ReferenceCrc(kCrcStart, all.subspan(start, length)))
          << "start " << start << ", length " << length;
  EXPECT_EQ(UpdateCrc(0x0BADF00D, all.subspan(3, 1 << 20)),
            test::ReferenceCrc(0x0BADF00D, all.subspan(3, 1 << 20)));
}

}  // namespace
}  // namespace nuv::image
