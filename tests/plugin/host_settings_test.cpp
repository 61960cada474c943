#include "plugin/host_settings.h"

#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "temp_folder.h"

namespace nuv::plugin {
namespace {

using test::CurrentDirectory;
using test::TempFolder;

void WriteText(const std::filesystem::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

HostSettings ReadValue(const TempFolder& folder, const std::string& value_line) {
  WriteText(folder / "quon.ini", "[Other]\nInternal_tool_control=1\n[NUV]\n" + value_line + "\n");
  return ReadHostSettingsFrom(folder / "quon.ini");
}

TEST(HostSettings, ExactlyOneTurnsInternalModeOnAndSpacesDoNotCount) {
  const TempFolder folder;
  for (const std::string line : {"Internal_tool_control=1", "Internal_tool_control= 1 ",
                                 "internal_tool_control=\"1\"", "Internal_tool_control=  1"}) {
    const HostSettings settings = ReadValue(folder, line);
    EXPECT_TRUE(settings.internal_mode) << line;
    EXPECT_EQ(settings.internal_tool_control, "1") << line;
    EXPECT_EQ(settings.settings_path, ".\\quon.ini");
  }
}

TEST(HostSettings, AnyOtherValueLeavesInternalModeOff) {
  const TempFolder folder;
  const std::pair<std::string, std::string> cases[] = {
      {"Internal_tool_control=01", "01"},   {"Internal_tool_control=1x", "1x"},
      {"Internal_tool_control=1 1", "11"},  {"Internal_tool_control=yes", "yes"},
      {"Internal_tool_control=0", "0"},     {"Internal_tool_control=1\t1", "1\t1"},
      {"Internal_tool_control=\" \"", " "}, {"Internal_tool_control=", " "},
  };
  for (const auto& [line, value] : cases) {
    const HostSettings settings = ReadValue(folder, line);
    EXPECT_FALSE(settings.internal_mode) << line;
    EXPECT_EQ(settings.internal_tool_control, value) << line;
    EXPECT_EQ(settings.settings_path, ".\\quon.ini") << line;
  }
}

TEST(HostSettings, AValueIsReadIntoABufferOf260Characters) {
  const TempFolder folder;
  // 259 characters are kept: a long value never reads as "1".
  const HostSettings settings = ReadValue(folder, "Internal_tool_control=" + std::string(300, '1'));
  EXPECT_EQ(settings.internal_tool_control, std::string(259, '1'));
  EXPECT_FALSE(settings.internal_mode);
}

TEST(HostSettings, MissingKeySectionOrFileLeaveInternalModeOff) {
  const TempFolder folder;
  WriteText(folder / "quon.ini", "[NUV]\nOther=1\n");
  HostSettings settings = ReadHostSettingsFrom(folder / "quon.ini");
  EXPECT_FALSE(settings.internal_mode);
  EXPECT_EQ(settings.internal_tool_control, " ");
  EXPECT_EQ(settings.settings_path, ".\\quon.ini");

  settings = ReadHostSettingsFrom(folder / "missing.ini");
  EXPECT_FALSE(settings.internal_mode);
  EXPECT_EQ(settings.internal_tool_control, " ");
  EXPECT_EQ(settings.settings_path, "");
}

TEST(HostSettings, TheFileIsTheOneInTheCurrentDirectory) {
  const TempFolder host;
  const TempFolder elsewhere;
  WriteText(elsewhere / "quon.ini", "[NUV]\nInternal_tool_control=1\n");
  {
    const CurrentDirectory here(host.path());
    EXPECT_FALSE(ReadHostSettings().internal_mode);
    EXPECT_EQ(ReadHostSettings().settings_path, "");
    WriteText(host / "quon.ini", "[NUV]\r\nInternal_tool_control = 1\r\n");
    EXPECT_TRUE(ReadHostSettings().internal_mode);
  }
  const CurrentDirectory there(elsewhere.path());
  EXPECT_TRUE(ReadHostSettings().internal_mode);
}

}  // namespace
}  // namespace nuv::plugin
