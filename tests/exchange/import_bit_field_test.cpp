// The import's own bit-field writer, over bytes that neighbouring fields
// share. (Fields across two bytes and all ones over 16 bits are seen
// through the configuration sheets, 64 bits across nine bytes through the
// command-line test's edits.)
#include "exchange/import_bit_field.h"

#include <gtest/gtest.h>

#include "common/bit_field.h"
#include "exchange_test_support.h"

namespace nuv::exchange {
namespace {

using namespace testing;  // the exchange helpers and the workbook layer
using enum common::BoundedWrite;

TEST(ImportBitField, WritesTheBytesTheFieldStartsInWithoutCuttingTheValue) {
  struct Case {
    std::vector<std::uint8_t> before;
    std::int64_t offset, length;
    std::uint64_t value;
    std::vector<std::uint8_t> after;
  } cases[] = {
      {Bytes({0xFF}), 2, 3, 0x0, Bytes({0x03})},  // the bits below stay, those above clear
      // 300 in an 8-bit field: its ninth bit is lost only because no byte
      // follows in the field; in a one-byte field the value's bits above
      // the field land in the same byte.
      {Bytes({0x00, 0xFF}), 0, 8, 300, Bytes({0x2C, 0xFF})},
      {Bytes({0x0F}), 2, 2, 0xFF, Bytes({0xFF})},
      {Bytes({0x00, 0x00}), 4, 8, 0xFFF, Bytes({0xF0, 0xFF})},
      // A zero width still writes its first byte.
      {Bytes({0x00, 0xEE}), 8, 0, 0x41, Bytes({0x00, 0x41})},
      {Bytes({0xFF}), 3, 0, 0, Bytes({0x07})},
  };
  for (Case& c : cases) {
    EXPECT_EQ(WriteImportBitField(c.before, c.offset, c.length, c.value), kWritten);
    EXPECT_EQ(c.before, c.after) << c.offset << "+" << c.length;
  }
}

TEST(ImportBitField, ItemsSharingAByteKeepEachOtherOnlyInAscendingOrder) {
  std::vector<std::uint8_t> up = Bytes({0x00}), down = Bytes({0x00});
  ASSERT_EQ(WriteImportBitField(up, 0, 4, 0x5), kWritten);
  ASSERT_EQ(WriteImportBitField(up, 4, 4, 0xA), kWritten);
  EXPECT_EQ(up, Bytes({0xA5}));
  ASSERT_EQ(WriteImportBitField(down, 4, 4, 0xA), kWritten);
  ASSERT_EQ(WriteImportBitField(down, 0, 4, 0x5), kWritten);
  EXPECT_EQ(down, Bytes({0x05}));
}

TEST(ImportBitField, BytesOutsideTheBlockAreNeverWritten) {
  std::vector<std::uint8_t> bytes = Bytes({0x11, 0x22});
  EXPECT_EQ(WriteImportBitField(bytes, 12, 8, 0xFF), kOutside);  // needs a third byte
  EXPECT_EQ(WriteImportBitField(bytes, 16, 0, 0), kOutside);     // first byte past the end
  EXPECT_EQ(WriteImportBitField(bytes, -1, 4, 0), kOutside);
  std::vector<std::uint8_t> nine(9);  // room for 65 bits, but no field has them
  EXPECT_EQ(WriteImportBitField(nine, 0, 65, 0), kOutside);
  EXPECT_EQ(WriteImportBitField(bytes, 0, -8, 0), kOutside);
  EXPECT_EQ(WriteImportBitField({}, 0, 1, 1), kOutside);
  EXPECT_EQ(bytes, Bytes({0x11, 0x22}));
  EXPECT_EQ(WriteImportBitField(bytes, 8, 8, 0x33), kWritten);
  EXPECT_EQ(bytes, Bytes({0x11, 0x33}));
}

}  // namespace
}  // namespace nuv::exchange
