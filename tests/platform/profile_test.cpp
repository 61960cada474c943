#include "platform/profile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "test_files.h"

namespace nuv::platform {
namespace {

TEST(ProfileTest, ReadsTheFirstMatchingKeyOfTheSection) {
  struct Case {
    std::string text, key, fallback;
    size_t size;
    std::string expected;
  };
  const Case cases[] = {
      // Names match without regard to case; values are trimmed.
      {"[other]\nInternal_tool_control=9\n[nuv]\r\n  internal_TOOL_control =  1  \r\n",
       "Internal_tool_control", "", 260, "1"},
      {"[NUV]\nkey=first\nkey=second\n", "key", "", 260, "first"},
      {"[NUV]\na= 1 x \n", "a", "", 260, "1 x"},
      {"[NUV]\nb=\"quoted value\"\n", "b", "", 260, "quoted value"},
      {"[NUV]\nkey=last", "key", "", 260, "last"},
      {"[OTHER]\nkey=1\n", "key", "d", 260, "d"},
      {"[NUV]\nkey=1\n", "absent", "d", 260, "d"},
      {"key=outside\n[NUV]\n;key=comment\n", "key", "d", 260, "d"},
      // Cut to the caller's buffer, which holds a terminator.
      {"[NUV]\nkey=abcdefgh\n", "key", "", 4, "abc"},
      {"[NUV]\nkey=abcdefgh\n", "key", "", 1, ""},
      {"[NUV]\nkey=abcdefgh\n", "key", "", 0, ""},
      {"[NUV]\nkey=abcdefgh\n", "none", "defaultvalue", 5, "defa"},
  };
  const test::TempFolder folder;
  const std::filesystem::path file = folder.path() / u8"nüv 画.ini";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::ofstream(file, std::ios::binary) << c.text;
    EXPECT_EQ(GetPrivateProfileString("NUV", c.key, c.fallback, c.size, file), c.expected);
  }
  // No file, a folder, and what reading would wait on (a pipe nobody
  // writes to; on Windows a device).
  std::filesystem::remove(file);
  for (const std::filesystem::path& none :
       {file, folder.path(), std::filesystem::path(folder.Pipe("pipe"))})
    EXPECT_EQ(GetPrivateProfileString("NUV", "key", "fallback", 260, none), "fallback") << none;
}

}  // namespace
}  // namespace nuv::platform
