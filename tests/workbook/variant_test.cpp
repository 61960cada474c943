#include "workbook/variant.h"

#include <gtest/gtest.h>

#include <limits>

#include "workbook/utf16.h"
#include "workbook_test_support.h"

namespace nuv::workbook {
namespace {

TEST(Variant, AMissingArgumentAndACellErrorAreErrorsOfTheirOwnCodes) {
  Variant missing = Variant::Error(DISP_E_PARAMNOTFOUND);
  EXPECT_EQ(missing.type(), VT_ERROR);
  EXPECT_TRUE(missing.IsMissing());
  EXPECT_FALSE(Variant::Error(DISP_E_TYPEMISMATCH).IsMissing());
  EXPECT_FALSE(Variant::CellError(kErrorNA).IsMissing());
  Variant div0 = Variant::CellError(kErrorDiv0);
  EXPECT_EQ(div0.ErrorCode(), 0x800A07D7u);  // CVErr(2007)
  EXPECT_EQ(div0.CellErrorCode(), kErrorDiv0);
  EXPECT_EQ(CellErrorText(kErrorNA), "#N/A");
  EXPECT_EQ(Variant::Error(DISP_E_BADINDEX).CellErrorCode(), 0xFF);
  EXPECT_EQ(Variant::CellError(0x05).CellErrorCode(), 0xFF);  // no cell error has code 5
}

TEST(Variant, ChangeTypeConvertsWhatFitsAndRefusesTheRest) {
  EXPECT_EQ(ChangeType(Variant::R8(2.5), VT_I4).AsInt(), 2);  // half to even
  EXPECT_EQ(ChangeType(Variant::R8(3.5), VT_I4).AsInt(), 4);
  EXPECT_EQ(ChangeType(Variant::Text("12"), VT_I2).AsInt(), 12);
  EXPECT_EQ(ChangeType(Variant::Bool(true), VT_I4).AsInt(), -1);
  EXPECT_EQ(ChangeType(Variant::I4(7), VT_BSTR).AsUtf8(), "7");
  EXPECT_EQ(ChangeType(Variant::R8(0.1), VT_BSTR).AsUtf8(), "0.1");
  EXPECT_EQ(ChangeType(Variant::UI8(std::numeric_limits<std::uint64_t>::max()), VT_BSTR).AsUtf8(),
            "18446744073709551615");
  EXPECT_DOUBLE_EQ(ChangeType(Variant::UI4(4000000000u), VT_R8).AsDouble(), 4e9);
  EXPECT_THROW(ChangeType(Variant::I4(40000), VT_I2), AutomationError);
  EXPECT_THROW(ChangeType(Variant::Text("0x10"), VT_I4), AutomationError);
  EXPECT_THROW(ChangeType(Variant::Text(""), VT_R8), AutomationError);
  EXPECT_THROW(ChangeType(Variant::I4(-1), VT_UI4), AutomationError);
  EXPECT_THROW(ChangeType(Variant::CellError(kErrorNA), VT_R8), AutomationError);
  EXPECT_THROW(ChangeType(Variant(), VT_DISPATCH), AutomationError);
}

TEST(ValueArray, ElementsAreCountedFromOneRowFirstAndIndicesOutsideRaiseAnError) {
  ValueArray array(2, 3);
  array.Set(2, 1, Variant::Text("x"));
  array.Set(1, 3, Variant::R8(13));  // out of order: stored in its place
  array.Set(1, 2, Variant::R8(12));
  array.Set(1, 2, Variant());  // emptied: takes nothing again
  EXPECT_EQ(array.GetElement(1, 3), Variant::R8(13));
  EXPECT_EQ(array.GetElement(2, 1).AsUtf8(), "x");
  EXPECT_TRUE(array.GetElement(2, 3).IsEmpty());
  EXPECT_TRUE(array.GetElement(1, 2).IsEmpty());
  ASSERT_EQ(array.stored().size(), 2u);
  EXPECT_EQ(array.stored()[0].column, 3u);
  for (auto [r, c] : {std::pair{0u, 1u}, {1u, 0u}, {3u, 1u}, {1u, 4u}})
    EXPECT_NE(
        testing::AutomationErrorOf([&] { array.GetElement(r, c); }).find("2 rows and 3 columns"),
        std::string::npos)
        << r << "," << c;
}

TEST(Utf16, RoundTripsEveryPlaneRepairsBrokenInputAndComparesWithoutRegardToCase) {
  std::string text = "a\xC3\xA9\xE6\x97\xA5\xF0\x9F\x98\x80";  // a é 日 😀
  std::u16string wide = Utf8ToUtf16(text);
  EXPECT_EQ(wide, (std::u16string{u'a', 0xE9, 0x65E5, 0xD83D, 0xDE00}));
  EXPECT_EQ(Utf16ToUtf8(wide), text);
  EXPECT_EQ(Utf8ToUtf16("\xFF"
                        "a\xC3"),
            (std::u16string{0xFFFD, u'a', 0xFFFD}));
  EXPECT_EQ(Utf8ToUtf16("\xC0\x80"), (std::u16string{0xFFFD, 0xFFFD}));  // overlong
  EXPECT_EQ(Utf16ToUtf8(std::u16string{0xD800, u'b'}),
            "\xEF\xBF\xBD"
            "b");
  // Sheet names match without regard to case.
  EXPECT_TRUE(SameTextIgnoringCase(u"Sheet4", u"sheet4"));
  EXPECT_TRUE(SameTextIgnoringCase(u"ÄРΣ", u"äрσ"));
  EXPECT_FALSE(SameTextIgnoringCase(u"Sheet4", u"Sheet40"));
  EXPECT_FALSE(SameTextIgnoringCase(u"a", u"b"));
}

}  // namespace
}  // namespace nuv::workbook
