#include "legacy/hw_info.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

namespace nuv::legacy {
namespace {

using ::testing::ElementsAre;

struct HwResult {
  int status = 0;
  HwInfo info;
  std::vector<std::string> messages;
};

HwResult Parse(const std::string& text, BoxCaption caption = BoxCaption::Error) {
  std::istringstream in(text);
  HwResult out;
  RecordedMessages messages;
  out.status = ParseHwInfo(in, out.info.panel, out.info.led, messages, caption);
  out.messages = messages.texts();
  for (const auto& [shown, _] : messages.shown())
    EXPECT_EQ(shown, caption);
  return out;
}

std::vector<int> PanelValues(const HwInfo& info) {
  return {info.panel.bytes.begin() + 2, info.panel.bytes.begin() + 2 + info.panel.count()};
}

std::vector<int> LedBytes(const HwInfo& info) {
  return {info.led.bytes.begin() + 2, info.led.bytes.begin() + 2 + 2 * info.led.count()};
}

TEST(HwInfo, ClassifiesLinesIgnoringCaseAndLeadingBlanks) {
  EXPECT_EQ(ClassifyHwLine("// note"), HwLineKind::kComment);
  EXPECT_EQ(ClassifyHwLine(" \t----x"), HwLineKind::kSeparator);
  EXPECT_EQ(ClassifyHwLine("Panel Starts here"), HwLineKind::kPanelSection);
  EXPECT_EQ(ClassifyHwLine("  LED STARTS:"), HwLineKind::kLedSection);
  EXPECT_EQ(ClassifyHwLine("panel start"), HwLineKind::kOther);
  EXPECT_EQ(ClassifyHwLine("   "), HwLineKind::kOther);
  EXPECT_EQ(ClassifyHwLine("---"), HwLineKind::kOther);
}

TEST(HwInfo, CompleteFile) {
  const HwResult r = Parse(
      "// front panel values\r\n"
      "panel starts\r\n"
      "0x01, 0x02, 0x1F,\r\n"
      "0x00,##\r\n"
      "----\r\n"
      "led starts\r\n"
      "{'0', 0x3F}, {'1', 0x06},\r\n"
      "{'A', 0x77},##\r\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(r.messages.empty());
  EXPECT_THAT(PanelValues(r.info), ElementsAre(0x01, 0x02, 0x1F, 0x00));
  EXPECT_THAT(LedBytes(r.info), ElementsAre(0x30, 0x3F, 0x31, 0x06, 0x41, 0x77));
  const auto bytes = r.info.Bytes();
  EXPECT_EQ(bytes[0], 4);
  EXPECT_EQ(bytes[40], 3);
  EXPECT_EQ(bytes[42], 0x30);
  EXPECT_EQ(bytes[47], 0x77);
  for (size_t i = 48; i < bytes.size(); ++i)
    EXPECT_EQ(bytes[i], 0) << i;
}

TEST(HwInfo, FileWithoutSectionsIsAllZero) {
  const HwResult r = Parse("nothing here\n// at all\n");
  EXPECT_EQ(r.status, 0);
  for (uint8_t b : r.info.Bytes())
    EXPECT_EQ(b, 0);
}

TEST(HwInfo, PanelValueRules) {
  EXPECT_EQ(Parse("panel starts\n##\n").info.panel.count(), 0);
  EXPECT_THAT(PanelValues(Parse("panel starts\n0x1F,0x20,##\n").info), ElementsAre(0x1F, 0x20));
  // The second value has no comma.
  EXPECT_THAT(PanelValues(Parse("panel starts\n0x1F, 0x20##\n").info), ElementsAre(0x1F));
  EXPECT_THAT(PanelValues(Parse("panel starts\n0x1FF,0x 1F,\n##").info), ElementsAre(0xFF, 0x1F));
  // A value goes on over the end of a line; blank lines are skipped.
  EXPECT_THAT(PanelValues(Parse("panel starts\n0x\n\n2A,##\n").info), ElementsAre(0x2A));
  // Short values read as 0, longer ones keep their first 8 characters.
  EXPECT_THAT(PanelValues(Parse("panel starts\n7,0x123456789,##\n").info), ElementsAre(0, 0x56));
}

TEST(HwInfo, ThirtyEightPanelValuesPassAndTheNextFails) {
  std::string values;
  for (int i = 0; i < 38; ++i)
    values += "0x" + std::to_string(i % 10) + ",";
  HwResult r = Parse("panel starts\n" + values + "##\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.info.panel.count(), 38);
  r = Parse("panel starts\n" + values + "0x01,##\n", BoxCaption::Application);
  EXPECT_EQ(r.status, -1);
  EXPECT_THAT(r.messages, ElementsAre("error while parsing panel hw info"));
}

TEST(HwInfo, LedEntryRules) {
  EXPECT_THAT(LedBytes(Parse("led starts\n{'A',0x77},##\n").info), ElementsAre(0x41, 0x77));
  EXPECT_THAT(LedBytes(Parse("led starts\n{'A', 0x77},##\n").info), ElementsAre(0x41, 0x77));
  // No comma after the brace: only the character is stored, and P rounds down.
  HwResult r = Parse("led starts\n{'A', 0x77}##\n");
  EXPECT_EQ(r.info.led.count(), 0);
  EXPECT_EQ(r.info.led.bytes[2], 0x41);
  // A blank before a quote is a character of its own.
  EXPECT_THAT(LedBytes(Parse("led starts\n{' ', 0x00},##\n").info), ElementsAre(0x20, 0x00));
  // A quote, a blank and then the comma do not store the character: the
  // collected "{'A',0x77" is read from its third character on at the brace.
  r = Parse("led starts\n{'A' , 0x77},##\n");
  EXPECT_EQ(r.info.led.bytes[2], 0x0A);
  EXPECT_EQ(r.info.led.count(), 0);
  // Each line starts collecting anew.
  EXPECT_THAT(LedBytes(Parse("led starts\n{'B',\n0x42},##\n").info), ElementsAre(0x42, 0x42));
}

TEST(HwInfo, NinetyNineLedPairsPassAndTheNextFails) {
  std::string entries;
  for (int i = 0; i < 99; ++i)
    entries += "{'x', 0x01},\n";
  HwResult r = Parse("led starts\n" + entries + "##\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.info.led.count(), 99);
  r = Parse("led starts\n" + entries + "{'y', 0x02},##\n");
  EXPECT_EQ(r.status, -1);
  EXPECT_THAT(r.messages, ElementsAre("error while parsing led bitmap"));
}

TEST(HwInfo, SectionAgainStartsItsValuesAnew) {
  const HwResult r = Parse(
      "panel starts\n0x01,0x02,0x03,0x04,0x05,##\n"
      "panel starts\n0x0A,0x0B,##\n");
  EXPECT_EQ(r.info.panel.count(), 2);
  EXPECT_THAT(std::vector<int>(r.info.panel.bytes.begin() + 2, r.info.panel.bytes.begin() + 8),
              ElementsAre(0x0A, 0x0B, 0x03, 0x04, 0x05, 0));
}

TEST(HwInfo, MarksEndTheSectionAndTheRestOfItsLine) {
  const HwResult r = Parse("panel starts\n0x01,## 0x02,\nled starts\n{'C', 0x39},##\n");
  EXPECT_THAT(PanelValues(r.info), ElementsAre(0x01));
  EXPECT_THAT(LedBytes(r.info), ElementsAre(0x43, 0x39));
}

TEST(HwInfo, SectionsThatNeverEndOrHoldOverlongLinesFail) {
  HwResult r = Parse("panel starts\n0x01,\n");
  EXPECT_EQ(r.status, -1);
  EXPECT_THAT(r.messages,
              ElementsAre("The panel section of the hw info file has no closing \"##\"!",
                          "error while parsing panel hw info"));
  r = Parse("led starts\n" + std::string(200, ' ') + "##\n");
  EXPECT_EQ(r.status, -1);
  EXPECT_THAT(r.messages,
              ElementsAre("A line of the led section of the hw info file is longer than 199 "
                          "characters!",
                          "error while parsing led bitmap"));
  // 199 characters are still a section line.
  EXPECT_EQ(Parse("led starts\n" + std::string(197, ' ') + "##\n").status, 0);
}

TEST(HwInfo, OverlongLineOutsideSectionsEndsTheFile) {
  const HwResult r = Parse("// " + std::string(1000, 'x') + "\npanel starts\n0x01,##\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.info.panel.count(), 0);
}

}  // namespace
}  // namespace nuv::legacy
