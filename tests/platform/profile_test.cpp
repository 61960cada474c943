#include "platform/profile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

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
  const std::filesystem::path file =
      std::filesystem::temp_directory_path() / ("nuv-profile-" + std::to_string(getpid()) + ".ini");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::ofstream(file, std::ios::binary) << c.text;
    EXPECT_EQ(GetPrivateProfileString("NUV", c.key, c.fallback, c.size, file), c.expected);
  }
  std::filesystem::remove(file);
  EXPECT_EQ(GetPrivateProfileString("NUV", "key", "fallback", 260, file), "fallback");
  ASSERT_EQ(mkfifo(file.c_str(), 0600), 0);  // nobody writes: reading it would wait
  EXPECT_EQ(GetPrivateProfileString("NUV", "key", "fallback", 260, file), "fallback");
  std::filesystem::remove(file);
}

}  // namespace
}  // namespace nuv::platform
