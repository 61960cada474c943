#include "legacy/c_numbers.h"

#include <gtest/gtest.h>

namespace nuv::legacy {
namespace {

TEST(CNumbers, CNotationReadsDecimalHexAndOctal) {
  EXPECT_EQ(CStrToL("31", 0), 31);
  EXPECT_EQ(CStrToL("0x1F", 0), 31);
  EXPECT_EQ(CStrToL("037", 0), 31);
  EXPECT_EQ(CStrToL("  0X1f", 0), 31);
  EXPECT_EQ(CStrToL("-12", 0), -12);
  // Reading stops at the first character that cannot continue the number.
  EXPECT_EQ(CStrToL("09", 0), 0);
  EXPECT_EQ(CStrToL("12abc", 10), 12);
  EXPECT_EQ(CStrToL("0x", 0), 0);
  EXPECT_EQ(CStrToL("", 0), 0);
  EXPECT_EQ(CStrToL("junk", 10), 0);
}

TEST(CNumbers, OverflowSaturatesLikeA32BitLong) {
  EXPECT_EQ(CStrToL("99999999999", 10), 2147483647);
  EXPECT_EQ(CStrToL("-99999999999", 10), -2147483647 - 1);
  EXPECT_EQ(CStrToUL("1FFFFFFFFF", 16), 0xFFFFFFFFu);
  EXPECT_EQ(CStrToUL("-1", 16), 0xFFFFFFFFu);
  EXPECT_EQ(CStrToUL("-2", 10), 0xFFFFFFFEu);
}

TEST(CNumbers, HexAcceptsLeadingBlanksAndPrefix) {
  EXPECT_EQ(CStrToUL("1FFFFF", 16), 0x1FFFFFu);
  EXPECT_EQ(CStrToUL("  0x1a5", 16), 0x1A5u);
  EXPECT_EQ(CStrToUL("xyz", 16), 0u);
  EXPECT_EQ(CStrToUL("0xg", 16), 0u);
}

TEST(CNumbers, NumberEditTakesOnlyWholeUnsignedDecimals) {
  EXPECT_EQ(ReadUnsignedEdit("4660"), 4660u);
  EXPECT_EQ(ReadUnsignedEdit(" 7 "), 7u);
  EXPECT_EQ(ReadUnsignedEdit("4294967295"), 4294967295u);
  // Too large for a field, but a number: the field's check says so.
  EXPECT_EQ(ReadUnsignedEdit("4294967296"), 4294967296u);
  EXPECT_EQ(ReadUnsignedEdit("99999999999999999999999"), UINT64_MAX);
  EXPECT_FALSE(ReadUnsignedEdit("-1"));
  EXPECT_FALSE(ReadUnsignedEdit("12a"));
  EXPECT_FALSE(ReadUnsignedEdit(""));
}

}  // namespace
}  // namespace nuv::legacy
