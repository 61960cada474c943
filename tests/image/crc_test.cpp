#include <gtest/gtest.h>

#include <string_view>

#include "image/crc32.h"
#include "image_builder.h"

namespace nuv::image {
namespace {

uint32_t CrcOf(std::string_view text) {
  CrcTable table{};
  BuildCrcTable(table);
  return UpdateCrc(table, kCrcStart, samples::TextBytes(text));
}

TEST(Crc32, CheckValuesOfTheJamcrcVariant) {
  EXPECT_EQ(CrcOf("123456789"), 0x340BC6D9u);
  EXPECT_EQ(CrcOf("abc"), 0xCADBBE3Du);
  EXPECT_EQ(CrcOf(""), 0xFFFFFFFFu);
}

TEST(Crc32, TableHasTheReflectedPolynomial) {
  CrcTable table{};
  BuildCrcTable(table);
  EXPECT_EQ(table[0], 0u);
  EXPECT_EQ(table[128], 0xEDB88320u);
  EXPECT_EQ(table[255], 0x2D02EF8Du);
}

TEST(Crc32, RunsInPiecesLikeInOne) {
  CrcTable table{};
  BuildCrcTable(table);
  const std::vector<uint8_t> data = samples::PatternBytes(1000, 7);
  const uint32_t whole = UpdateCrc(table, kCrcStart, data);
  const std::span<const uint8_t> all(data);
  const uint32_t split =
      UpdateCrc(table, UpdateCrc(table, kCrcStart, all.first(333)), all.subspan(333));
  EXPECT_EQ(whole, split);
  EXPECT_EQ(UpdateCrc(table, 0x12345678, {}), 0x12345678u);
}

}  // namespace
}  // namespace nuv::image
