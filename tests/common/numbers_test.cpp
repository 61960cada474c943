#include "common/numbers.h"

#include <gtest/gtest.h>

namespace nuv::common {
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
  // Where only the low bits are wanted, they are those of the digits.
  EXPECT_EQ(CStrToLowBits("0x1234567890A4", 16), 0x1234567890A4u);
  EXPECT_EQ(CStrToLowBits("1FFFFFFFFFFFFFFFFA4", 16) & 0xFF, 0xA4u);
  EXPECT_EQ(CStrToLowBits("-1", 16), UINT64_MAX);
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

TEST(StrictNumbers, TheWholeTextIsADecimalOrHexadecimalNumberThatFits) {
  EXPECT_EQ(ParseStrictNumber<uint8_t>("255"), 255);
  EXPECT_EQ(ParseStrictNumber<uint8_t>("0xfF"), 255);
  EXPECT_EQ(ParseStrictNumber<uint64_t>("18446744073709551615"), UINT64_MAX);
  EXPECT_EQ(ParseStrictNumber<int>("-12"), -12);
  EXPECT_EQ(ParseStrictNumber<int>("-0x80000000"), INT32_MIN);
  EXPECT_EQ(ParseStrictNumber<int64_t>("-9223372036854775808"), INT64_MIN);
  EXPECT_EQ(ParseStrictNumber<uint32_t>("fffffffF", 16), 0xFFFFFFFFu);
  EXPECT_EQ(ParseStrictNumber<uint32_t>("0x10", 16), 16u);
  for (const char* refused : {"256", "", "0x", "-1", "+1", " 1", "1 ", "12a", "0x-1", "--1"})
    EXPECT_FALSE(ParseStrictNumber<uint8_t>(refused)) << refused;
  for (const char* refused : {"2147483648", "-2147483649", "-", "+-1", "-0x-1"})
    EXPECT_FALSE(ParseStrictNumber<int>(refused)) << refused;
}

}  // namespace
}  // namespace nuv::common
