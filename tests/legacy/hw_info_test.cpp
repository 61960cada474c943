#include "legacy/hw_info.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>

namespace nuv::legacy {
namespace {

// The 240 bytes as "P<count>:<values> L<count>:<pairs>", each part's bytes
// in hex up to its last non-zero one (the rest are zero).
std::string Describe(const HwInfo& info) {
  const auto bytes = info.Bytes();
  const auto part = [&](char name, size_t from, size_t to) {
    std::string out = name + std::to_string(bytes[from] | bytes[from + 1] << 8) + ":";
    size_t end = to;
    while (end > from + 2 && bytes[end - 1] == 0)
      --end;
    for (size_t i = from + 2; i < end; ++i) {
      char hex[3];
      std::snprintf(hex, sizeof hex, "%02X", bytes[i]);
      out += hex;
    }
    return out;
  };
  return part('P', 0, kPanelInfoSize) + " " + part('L', kPanelInfoSize, kHwInfoSize);
}

TEST(HwInfo, Files) {
  std::string panel38, panel38_bytes, led99, led99_bytes;
  for (int i = 0; i < 38; ++i) {
    panel38 += "0x0" + std::to_string(i % 10) + ",";
    panel38_bytes += "0" + std::to_string(i % 10);
  }
  for (int i = 0; i < 99; ++i) {
    led99 += "{'x', 0x01},\n";
    led99_bytes += "7801";
  }
  const std::string panel_error = "error while parsing panel hw info";
  const std::string led_error = "error while parsing led bitmap";
  const struct Case {
    std::string text;
    std::string info;
    std::vector<std::string> messages = {};  // any: the file is refused
  } cases[] = {
      {"// front panel values\r\npanel starts\r\n0x01, 0x02, 0x1F,\r\n0x00,##\r\n----\r\n"
       "led starts\r\n{'0', 0x3F}, {'1', 0x06},\r\n{'A', 0x77},##\r\n",
       "P4:01021F L3:303F31064177"},
      {"nothing here\n \t \n// at all\n", "P0: L0:"},
      // Section lines: any case, after blanks, with more on the line.
      {"Panel Starts here\n0x01,##\n \t LED STARTS:\n{'A',0x77},##\n", "P1:01 L1:4177"},
      {"panel start\n0x01,##\n", "P0: L0:"},
      {"panel starts\n##\n", "P0: L0:"},
      {"panel starts\n0x1F,0x20,##\n", "P2:1F20 L0:"},
      // The second value has no comma.
      {"panel starts\n0x1F, 0x20##\n", "P1:1F L0:"},
      {"panel starts\n0x1FF,0x 1F,\n##", "P2:FF1F L0:"},
      // A value goes on over the end of a line; blank lines are skipped.
      {"panel starts\n0x\n\n2A,##\n", "P1:2A L0:"},
      // Short values read as 0, longer ones keep their first 8 characters.
      {"panel starts\n7,0x123456789,##\n", "P2:0056 L0:"},
      {"panel starts\n" + panel38 + "##\n", "P38:" + panel38_bytes + " L0:"},
      {"panel starts\n" + panel38 + "0x01,##\n", "", {panel_error}},
      // A second section starts its values anew over the first one's.
      {"panel starts\n0x01,0x02,0x03,0x04,0x05,##\npanel starts\n0x0A,0x0B,##\n",
       "P2:0A0B030405 L0:"},
      // Marks end the section and the rest of their line.
      {"panel starts\n0x01,## 0x02,\nled starts\n{'C', 0x39},##\n", "P1:01 L1:4339"},
      {"led starts\n{'A',0x77},##\n", "P0: L1:4177"},
      // No comma after the brace: only the character is stored.
      {"led starts\n{'A', 0x77}##\n", "P0: L0:41"},
      // A blank before a quote is a character of its own.
      {"led starts\n{' ', 0x00},##\n", "P0: L1:20"},
      // A quote, a blank and then the comma do not store the character: the
      // collected "{'A',0x77" is read from its third character on at the brace.
      {"led starts\n{'A' , 0x77},##\n", "P0: L0:0A"},
      // Each line starts collecting anew.
      {"led starts\n{'B',\n0x42},##\n", "P0: L1:4242"},
      {"led starts\n" + led99 + "##\n", "P0: L99:" + led99_bytes},
      {"led starts\n" + led99 + "{'y', 0x02},##\n", "", {led_error}},
      {"panel starts\n0x01,\n",
       "",
       {"The panel section of the hw info file has no closing \"##\"!", panel_error}},
      {"led starts\n" + std::string(200, ' ') + "##\n",
       "",
       {"A line of the led section of the hw info file is longer than 199 characters!", led_error}},
      {"led starts\n" + std::string(197, ' ') + "##\n", "P0: L0:"},
      // An overlong line outside the sections ends the file.
      {"// " + std::string(1000, 'x') + "\npanel starts\n0x01,##\n", "P0: L0:"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 80));
    common::LineReader in;
    in.OpenText(c.text);
    RecordedMessages messages;
    const std::optional<HwInfo> info = ParseHwInfo(in, messages, BoxCaption::Application);
    EXPECT_EQ(info.has_value(), c.messages.empty());
    if (info) {
      EXPECT_EQ(Describe(*info), c.info);
    }
    EXPECT_EQ(messages.texts(), c.messages);
    for (const auto& [caption, _] : messages.shown())
      EXPECT_EQ(caption, BoxCaption::Application);
  }
}

}  // namespace
}  // namespace nuv::legacy
