#include "platform/command_line.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace nuv::platform {
namespace {

using Args = std::vector<std::string>;

// Arguments after a program, as the Microsoft documentation's examples give them.
Args After(std::string_view rest) {
  Args args = SplitWindowsCommandLine("prog " + std::string(rest));
  EXPECT_FALSE(args.empty());
  if (!args.empty()) {
    EXPECT_EQ(args[0], "prog");
    args.erase(args.begin());
  }
  return args;
}

TEST(SplitWindowsCommandLine, BackslashesCountOnlyBeforeAQuote) {
  EXPECT_EQ(After(R"("a b c" d e)"), (Args{"a b c", "d", "e"}));
  EXPECT_EQ(After(R"("ab\"c" "\\" d)"), (Args{"ab\"c", "\\", "d"}));
  EXPECT_EQ(After(R"(a\\\b d"e f"g h)"), (Args{R"(a\\\b)", "de fg", "h"}));
  EXPECT_EQ(After(R"(a\\\"b c d)"), (Args{R"(a\"b)", "c", "d"}));
  EXPECT_EQ(After(R"(a\\\\"b c" d e)"), (Args{R"(a\\b c)", "d", "e"}));
  EXPECT_EQ(After(R"(D:\tmp\script-qv.cfg.gz)"), (Args{R"(D:\tmp\script-qv.cfg.gz)"}));
  EXPECT_EQ(After(R"("C:\dir\\")"), (Args{R"(C:\dir\)"}));
}

TEST(SplitWindowsCommandLine, DoubledQuotesInsideAQuotedPartGiveOneAndEndIt) {
  EXPECT_EQ(After(R"(a"b"" c d)"), (Args{"ab\"", "c", "d"}));
  EXPECT_EQ(After(R"("a""b")"), (Args{"a\"b"}));
  EXPECT_EQ(After(R"("a"""b")"), (Args{"a\"b"}));
  EXPECT_EQ(After(R"("a""""b")"), (Args{"a\"b"}));
  EXPECT_EQ(After(R"("a"""""b")"), (Args{"a\"\"b"}));
}

TEST(SplitWindowsCommandLine, BlanksTabsEmptyAndOpenQuotes) {
  EXPECT_EQ(After("  x\t\ty  "), (Args{"x", "y"}));
  EXPECT_EQ(After(R"("" x "")"), (Args{"", "x", ""}));
  EXPECT_EQ(After(R"(x "open to the end  )"), (Args{"x", "open to the end  "}));
  EXPECT_TRUE(SplitWindowsCommandLine("").empty());
  EXPECT_TRUE(SplitWindowsCommandLine(" \t ").empty());
}

TEST(SplitWindowsCommandLine, TheProgramKeepsBackslashesAndLosesItsQuotes) {
  EXPECT_EQ(SplitWindowsCommandLine(R"("C:\Program Files\gzip.exe" -d x)"),
            (Args{R"(C:\Program Files\gzip.exe)", "-d", "x"}));
  EXPECT_EQ(SplitWindowsCommandLine(R"(  c:\a\"b c"\x\ y)"), (Args{R"(c:\a\b c\x\)", "y"}));
  EXPECT_EQ(SplitWindowsCommandLine("gzip.exe"), (Args{"gzip.exe"}));
}

TEST(SplitWindowsCommandLine, TheToolsOwnCommandLines) {
  EXPECT_EQ(SplitWindowsCommandLine(R"(gzip.exe -d D:\tmp\script-qv.cfg.gz)"),
            (Args{"gzip.exe", "-d", R"(D:\tmp\script-qv.cfg.gz)"}));
  EXPECT_EQ(
      SplitWindowsCommandLine(R"(lzma.exe e "/opt/nuv bin\npreset" "/opt/nuv bin\npreset.7z")"),
      (Args{"lzma.exe", "e", R"(/opt/nuv bin\npreset)", R"(/opt/nuv bin\npreset.7z)"}));
}

TEST(QuoteWindowsArgument, EveryArgumentReadsBackUnchanged) {
  const Args fixed = {"",     "plain", "two words", "\"",     "\\",      "a\\",    "a\\\"b",
                      "\\\\", "\t",    "x\"\"y",    "\\\"\\", "end\\\\", "\"\"\"", " \\ "};
  std::mt19937 random(1234);
  std::uniform_int_distribution<int> pick(0, 5);
  const char alphabet[] = {'a', ' ', '\t', '"', '\\', 'b'};
  Args cases = fixed;
  for (int i = 0; i < 2000; ++i) {
    std::string arg;
    const int length = pick(random) * 2;
    for (int k = 0; k < length; ++k)
      arg += alphabet[pick(random)];
    cases.push_back(arg);
  }
  for (const std::string& arg : cases) {
    const std::string line = "prog " + QuoteWindowsArgument(arg) + " next";
    EXPECT_EQ(SplitWindowsCommandLine(line), (Args{"prog", arg, "next"})) << line;
  }
  EXPECT_EQ(QuoteWindowsArgument("plain"), "plain");
  EXPECT_EQ(QuoteWindowsArgument("a b\\"), "\"a b\\\\\"");
}

// Points the private root at a fresh folder for one test.
class NativeCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = std::filesystem::temp_directory_path() /
            ("nuv-cmdline-" + std::to_string(getpid()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(root_);
    setenv("NUV_PRIVATE_ROOT", root_.c_str(), 1);
  }
  void TearDown() override {
    unsetenv("NUV_PRIVATE_ROOT");
    std::filesystem::remove_all(root_);
  }
  std::filesystem::path root_;
};

TEST_F(NativeCommandTest, GzipWithAPrivateName) {
  NativeCommand command = ToNativeCommand(R"(gzip.exe -d D:\tmp\script-qv.cfg.gz)");
  ASSERT_TRUE(command.ok) << command.error;
  EXPECT_EQ(command.argv, (Args{"gzip", "-d", (root_ / "tmp" / "script-qv.cfg.gz").string()}));
}

TEST_F(NativeCommandTest, LzmaWithNamesBesideTheProgram) {
  NativeCommand command = ToNativeCommand(R"(LZMA.EXE d "/opt/a b\npreset.7z" "/opt/a b\npreset")");
  ASSERT_TRUE(command.ok) << command.error;
  EXPECT_EQ(command.argv, (Args{"lzma_alone", "d", "/opt/a b/npreset.7z", "/opt/a b/npreset"}));
}

TEST_F(NativeCommandTest, OtherProgramsLoseOnlyTheirExe) {
  NativeCommand command = ToNativeCommand(R"(sh.EXE -c "echo a\b" .\local\x plain\name)");
  ASSERT_TRUE(command.ok) << command.error;
  EXPECT_EQ(command.argv,
            (Args{"sh", "-c", "echo a\\b",
                  (std::filesystem::current_path() / "local" / "x").string(), "plain\\name"}));
  EXPECT_EQ(ToNativeCommand("tool").argv, (Args{"tool"}));
}

TEST_F(NativeCommandTest, RefusesWhatCannotBeMapped) {
  NativeCommand other_drive = ToNativeCommand(R"(gzip.exe -d C:\tmp\x.gz)");
  EXPECT_FALSE(other_drive.ok);
  EXPECT_NE(other_drive.error.find("C:\\tmp\\x.gz"), std::string::npos);
  NativeCommand escape = ToNativeCommand(R"(gzip.exe -d D:\tmp\..\..\x.gz)");
  EXPECT_FALSE(escape.ok);
  EXPECT_FALSE(escape.error.empty());
  EXPECT_FALSE(ToNativeCommand("   ").ok);
  EXPECT_FALSE(ToNativeCommand(R"("" x)").ok);
}

}  // namespace
}  // namespace nuv::platform
