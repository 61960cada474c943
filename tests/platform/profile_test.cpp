#include "platform/profile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace nuv::platform {
namespace {

namespace fs = std::filesystem;

class ProfileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    file_ = fs::temp_directory_path() / ("nuv-profile-" + std::to_string(getpid()) + ".ini");
  }
  void TearDown() override { fs::remove(file_); }
  void Write(const std::string& text) { std::ofstream(file_, std::ios::binary) << text; }
  std::string Read(const char* section, const char* key, const char* fallback = "",
                   size_t size = 260) {
    return GetPrivateProfileString(section, key, fallback, size, file_);
  }
  fs::path file_;
};

TEST_F(ProfileTest, NamesMatchWithoutRegardToCaseAndValuesAreTrimmed) {
  Write("[other]\nInternal_tool_control=9\n[nuv]\r\n  internal_TOOL_control =  1  \r\n");
  EXPECT_EQ(Read("NUV", "Internal_tool_control"), "1");
}

TEST_F(ProfileTest, TheFirstMatchingKeyWins) {
  Write("[NUV]\nkey=first\nkey=second\n");
  EXPECT_EQ(Read("NUV", "key"), "first");
}

TEST_F(ProfileTest, InnerBlanksStayAndQuotesAreRemoved) {
  Write("[NUV]\na= 1 x \nb=\"quoted value\"\n");
  EXPECT_EQ(Read("NUV", "a"), "1 x");
  EXPECT_EQ(Read("NUV", "b"), "quoted value");
}

TEST_F(ProfileTest, TheDefaultComesBackForMissingFileSectionOrKey) {
  EXPECT_EQ(Read("NUV", "key", "fallback"), "fallback");
  Write("[NUV]\nkey=1\n");
  EXPECT_EQ(Read("OTHER", "key", "d"), "d");
  EXPECT_EQ(Read("NUV", "absent", "d"), "d");
  EXPECT_EQ(Read("NUV", "absent"), "");
}

TEST_F(ProfileTest, KeysOutsideTheirSectionAndCommentsDoNotCount) {
  Write("key=outside\n[NUV]\n;key=comment\n");
  EXPECT_EQ(Read("NUV", "key", "d"), "d");
}

TEST_F(ProfileTest, ResultsAreCutToTheCallersBuffer) {
  Write("[NUV]\nkey=abcdefgh\n");
  EXPECT_EQ(Read("NUV", "key", "", 4), "abc");
  EXPECT_EQ(Read("NUV", "key", "", 1), "");
  EXPECT_EQ(Read("NUV", "key", "", 0), "");
  EXPECT_EQ(Read("NUV", "none", "defaultvalue", 5), "defa");
}

TEST_F(ProfileTest, AValueWithoutEndOfLineAtTheEndOfTheFileIsRead) {
  Write("[NUV]\nkey=last");
  EXPECT_EQ(Read("NUV", "key"), "last");
}

}  // namespace
}  // namespace nuv::platform
