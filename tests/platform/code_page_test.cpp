#include "platform/code_page.h"

#include <gtest/gtest.h>

#include <string>

#include "test_files.h"

namespace nuv::platform {
namespace {

CodePage Page(unsigned number) {
  const std::optional<CodePage> page = CodePage::FromNumber(number);
  EXPECT_TRUE(page) << number;
  return page.value_or(CodePage());
}

TEST(CodePageTest, TextsConvertExactlyBothWaysOrNotAtAll) {
  struct Case {
    unsigned number;
    std::string bytes;
    std::u16string text;
  };
  const Case same[] = {
      {1252, "Lautst\xE4rke \x80 \x9F", u"Lautstärke € Ÿ"},
      {1252, std::string("\x00\x01\x7F", 3), std::u16string(u"\u0000\u0001\u007F", 3)},
      {1250, "\x8A\xE8", u"Šč"},
      {1251, "\xCF\xF0\xE8", u"При"},
      {1253, "\xD9", u"Ω"},
      {1254, "\xFD", u"ı"},
      {1255, "\xF9", u"ש"},
      {1256, "\xC7", u"ا"},
      {1257, "\xE0", u"ą"},
      {1258, "\xD0", u"Đ"},
      {932, "\x82\xA0\x8A\xBF", u"あ漢"},
      {936, "A\xD6\xD0", u"A中"},
      {949, "\xB0\xA1", u"가"},
      {950, "\xA4\xA4", u"中"},
      {65001, "\xC3\xA4\xF0\x9F\x93\xBA", u"ä\U0001F4FA"},
  };
  for (const Case& c : same) {
    SCOPED_TRACE(c.number);
    EXPECT_EQ(Page(c.number).ToUtf16(c.bytes), c.text);
    EXPECT_EQ(Page(c.number).FromUtf16(c.text), c.bytes);
  }
  // Bytes that are no character, and characters without bytes: no best
  // fit ("Ā" is not "A"), no replacement character.
  const Case bytes_only[] = {
      {936, "\xD6", u""}, {932, "\x82", u""}, {65001, "\xE4", u""}, {65001, "\xED\xA0\x80", u""}};
  for (const Case& c : bytes_only)
    EXPECT_EQ(Page(c.number).ToUtf16(c.bytes), std::nullopt) << c.number << " " << c.bytes;
  const Case text_only[] = {{1252, "", u"Ā"},
                            {1252, "", u"Привет"},
                            {1251, "", u"ä"},
                            {936, "", u"\U0001F4FA"},
                            {65001, "", std::u16string(1, char16_t{0xD800})}};
  for (const Case& c : text_only)
    EXPECT_EQ(Page(c.number).FromUtf16(c.text), std::nullopt) << c.number;
}

TEST(CodePageTest, Windows1252GivesEveryByteOneCharacterOfItsOwn) {
  std::string bytes;
  for (int b = 0; b < 256; ++b)
    bytes.push_back(static_cast<char>(b));
  const std::optional<std::u16string> text = CodePage().ToUtf16(bytes);
  ASSERT_TRUE(text);
  ASSERT_EQ(text->size(), 256u);
  for (const int undefined : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
    EXPECT_EQ((*text)[static_cast<std::size_t>(undefined)], char16_t(undefined));
  EXPECT_EQ((*text)[0x80], u'€');
  EXPECT_EQ((*text)[0xFF], u'ÿ');
  EXPECT_EQ(CodePage().FromUtf16(*text), bytes);
}

TEST(CodePageTest, WholeCharactersNeverSplitOne) {
  EXPECT_EQ(Page(936).WholeCharacters("A\xD6\xD0\xCE\xC4", 4), 3u);
  EXPECT_EQ(Page(936).WholeCharacters("A\xD6\xD0\xCE\xC4", 5), 5u);
  EXPECT_EQ(Page(65001).WholeCharacters("A\xE2\x82\xAC", 3), 1u);
  EXPECT_EQ(CodePage().WholeCharacters("Lautst\xE4rke", 7), 7u);
  EXPECT_EQ(CodePage().WholeCharacters("ab", 0), 0u);
}

TEST(CodePageTest, NuvCodepageChoosesByNumberAndAnyOtherValueIsExplained) {
  const test::ScopedEnv unset("NUV_CODEPAGE", std::nullopt);
  EXPECT_EQ(CodePage::FromEnvironment().value().number(), 1252u);
  for (const char* number : {"936", "1250", "1258", "65001"}) {
    const test::ScopedEnv set("NUV_CODEPAGE", number);
    const Result<CodePage> page = CodePage::FromEnvironment();
    ASSERT_TRUE(page.ok()) << number;
    EXPECT_EQ(std::to_string(page.value().number()), number);
  }
  for (const char* wrong : {
#ifndef _WIN32  // a Windows environment holds no empty variable
           "",
#endif
           "1259", "437", "utf-8", "1252 ", "-1252"}) {
    const test::ScopedEnv set("NUV_CODEPAGE", wrong);
    const Result<CodePage> page = CodePage::FromEnvironment();
    ASSERT_FALSE(page.ok()) << wrong;
    EXPECT_EQ(page.error(),
              "NUV_CODEPAGE is \"" + std::string(wrong) +
                  "\", which is not the number of a code page this tool converts texts "
                  "with: it takes 1252, 936, 932, 949, 950, 1250 to 1258 or 65001 (UTF-8), "
                  "and 1252 when it is not set.");
  }
}

}  // namespace
}  // namespace nuv::platform
