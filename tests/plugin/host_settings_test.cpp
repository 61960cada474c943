// The host setting read from ".\quon.ini". Reading it from the current
// directory, at load time, is in the UI scripts (main_internal*).
#include "plugin/host_settings.h"

#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "test_files.h"

namespace nuv::plugin {
namespace {

TEST(HostSettings, OnlyTheValueOneTurnsInternalModeOn) {
  const nuv::test::TempFolder folder;
  const struct {
    std::string line;
    std::string value;  // as read, in a buffer of 260 characters
    bool on;
  } cases[] = {
      {"Internal_tool_control=1", "1", true},
      {"Internal_tool_control= 1 ", "1", true},
      {"internal_tool_control=\"1\"", "1", true},
      {"Internal_tool_control = 1\r", "1", true},  // as the other lines, with CR LF
      {"Internal_tool_control=01", "01", false},
      {"Internal_tool_control=1x", "1x", false},
      {"Internal_tool_control=1 1", "11", false},
      {"Internal_tool_control=yes", "yes", false},
      {"Internal_tool_control=0", "0", false},
      {"Internal_tool_control=1\t1", "1\t1", false},
      {"Internal_tool_control=\" \"", " ", false},
      {"Internal_tool_control=", " ", false},
      {"Internal_tool_control=" + std::string(300, '1'), std::string(259, '1'), false},
      {"Other=1", " ", false},  // no key in the section
  };
  for (const auto& c : cases) {
    std::ofstream(folder / "quon.ini", std::ios::binary)
        << "[Other]\r\nInternal_tool_control=1\r\n[NUV]\r\n" + c.line + "\n";
    const HostSettings settings = ReadHostSettingsFrom(folder / "quon.ini");
    EXPECT_EQ(settings.internal_mode, c.on) << c.line;
    EXPECT_EQ(settings.internal_tool_control, c.value) << c.line;
    EXPECT_EQ(settings.settings_path, ".\\quon.ini") << c.line;
  }
  const HostSettings none = ReadHostSettingsFrom(folder / "missing.ini");
  EXPECT_FALSE(none.internal_mode);
  EXPECT_EQ(none.internal_tool_control, " ");
  EXPECT_EQ(none.settings_path, "");
}

}  // namespace
}  // namespace nuv::plugin
