// The import's own bit-field writer, over bytes that neighbouring fields
// share.
#include "workbook/import_bit_field.h"

#include <gtest/gtest.h>

#include "exchange_test_support.h"
#include "toolcfg/bit_field.h"

namespace nuv::workbook {
namespace {

using testing::Bytes;

std::vector<std::uint8_t> Written(std::vector<std::uint8_t> bytes, std::int64_t offset,
                                  std::int64_t length, std::uint64_t value) {
  EXPECT_TRUE(WriteImportBitField(bytes, offset, length, value));
  return bytes;
}

TEST(ImportBitField, FieldAcrossTwoBytesKeepsTheBitsAroundIt) {
  EXPECT_EQ(Written(Bytes({0xF5, 0xA0}), 4, 8, 0x3C), Bytes({0xC5, 0xA3}));
  // The upper half of the third byte belongs to the next field and stays.
  EXPECT_EQ(Written(Bytes({0x00, 0xF0, 0x5F}), 12, 8, 0xAB), Bytes({0x00, 0xB0, 0x5A}));
}

TEST(ImportBitField, FieldInsideOneByteClearsTheBitsAboveIt) {
  EXPECT_EQ(Written(Bytes({0xF0}), 0, 4, 0x3), Bytes({0x03}));
  // The bits below the field stay.
  EXPECT_EQ(Written(Bytes({0xFF}), 2, 3, 0x0), Bytes({0x03}));
}

TEST(ImportBitField, ItemsSharingAByteKeepEachOtherOnlyInAscendingOrder) {
  // Two 4-bit items in one byte: low nibble then high nibble.
  std::vector<std::uint8_t> byte = Bytes({0x00});
  ASSERT_TRUE(WriteImportBitField(byte, 0, 4, 0x5));
  ASSERT_TRUE(WriteImportBitField(byte, 4, 4, 0xA));
  EXPECT_EQ(byte, Bytes({0xA5}));
  // The other way round, the low item clears the high one.
  byte = Bytes({0x00});
  ASSERT_TRUE(WriteImportBitField(byte, 4, 4, 0xA));
  ASSERT_TRUE(WriteImportBitField(byte, 0, 4, 0x5));
  EXPECT_EQ(byte, Bytes({0x05}));
}

TEST(ImportBitField, ValuesAreNotCutToTheWidth) {
  // 300 in an 8-bit field: its ninth bit is lost only because no byte
  // follows in the field; in a one-byte field at bit 4 the value's bits
  // above the field land in the same byte.
  EXPECT_EQ(Written(Bytes({0x00, 0xFF}), 0, 8, 300), Bytes({0x2C, 0xFF}));
  EXPECT_EQ(Written(Bytes({0x0F}), 2, 2, 0xFF), Bytes({0xFF}));
  // A field ending inside its second byte gets the value's extra bits there.
  EXPECT_EQ(Written(Bytes({0x00, 0x00}), 4, 8, 0xFFF), Bytes({0xF0, 0xFF}));
}

TEST(ImportBitField, AllOnesForMinusOneOverSixteenBits) {
  EXPECT_EQ(Written(Bytes({0x00, 0x00, 0x77}), 0, 16, 0xFFFFFFFFFFFFFFFFu),
            Bytes({0xFF, 0xFF, 0x77}));
}

TEST(ImportBitField, WideFieldsMatchTheReader) {
  // 64 bits at bit 7 touch nine bytes; reading them back gives the value.
  std::vector<std::uint8_t> bytes(10, 0x81);
  const std::uint64_t value = 0xF00DFACE12345678u;
  ASSERT_TRUE(WriteImportBitField(bytes, 7, 64, value));
  EXPECT_EQ(toolcfg::ReadBitField(bytes, 7, 64), value);
  EXPECT_EQ(bytes[0] & 0x7F, 0x01);  // bits below the field
  EXPECT_EQ(bytes[9], 0x81);         // untouched
  EXPECT_EQ(bytes[8] & 0x80, 0x80);  // the bit above the field stays
}

TEST(ImportBitField, ZeroWidthStillWritesItsFirstByte) {
  EXPECT_EQ(Written(Bytes({0x00, 0xEE}), 8, 0, 0x41), Bytes({0x00, 0x41}));
  EXPECT_EQ(Written(Bytes({0xFF}), 3, 0, 0), Bytes({0x07}));
}

TEST(ImportBitField, BytesOutsideTheBlockAreNeverWritten) {
  std::vector<std::uint8_t> bytes = Bytes({0x11, 0x22});
  EXPECT_FALSE(WriteImportBitField(bytes, 12, 8, 0xFF));  // needs a third byte
  EXPECT_FALSE(WriteImportBitField(bytes, 16, 0, 0));     // first byte past the end
  EXPECT_FALSE(WriteImportBitField(bytes, -1, 4, 0));
  EXPECT_FALSE(WriteImportBitField(bytes, 0, 65, 0));
  EXPECT_FALSE(WriteImportBitField(bytes, 0, -8, 0));
  EXPECT_FALSE(WriteImportBitField({}, 0, 1, 1));
  EXPECT_EQ(bytes, Bytes({0x11, 0x22}));
  EXPECT_TRUE(WriteImportBitField(bytes, 8, 8, 0x33));
  EXPECT_EQ(bytes, Bytes({0x11, 0x33}));
}

}  // namespace
}  // namespace nuv::workbook
