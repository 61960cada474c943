#include "platform/command_line.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/paths.h"
#include "test_files.h"

namespace nuv::platform {
namespace {

using Args = std::vector<std::string>;

// The Microsoft documentation's examples, each after a program "p".
TEST(SplitWindowsCommandLine, SplitsAsWindowsProgramsDo) {
  const std::pair<std::string, Args> cases[] = {
      // Backslashes count only before a quote.
      {R"(p "a b c" d e)", {"p", "a b c", "d", "e"}},
      {R"(p "ab\"c" "\\" d)", {"p", "ab\"c", "\\", "d"}},
      {R"(p a\\\b d"e f"g h)", {"p", R"(a\\\b)", "de fg", "h"}},
      {R"(p a\\\"b c d)", {"p", R"(a\"b)", "c", "d"}},
      {R"(p a\\\\"b c" d e)", {"p", R"(a\\b c)", "d", "e"}},
      {R"(p "C:\dir\\")", {"p", R"(C:\dir\)"}},
      // Doubled quotes inside a quoted part give one and end it.
      {R"(p a"b"" c d)", {"p", "ab\"", "c", "d"}},
      {R"(p "a""b")", {"p", "a\"b"}},
      {R"(p "a"""b")", {"p", "a\"b"}},
      {R"(p "a""""b")", {"p", "a\"b"}},
      {R"(p "a"""""b")", {"p", "a\"\"b"}},
      {"p   x\t\ty  ", {"p", "x", "y"}},
      {R"(p "" x "")", {"p", "", "x", ""}},
      {R"(p x "open to the end  )", {"p", "x", "open to the end  "}},
      {"", {}},
      {" \t ", {}},
      // The program keeps its backslashes and loses its quotes.
      {R"("C:\Program Files\gzip.exe" -d x)", {R"(C:\Program Files\gzip.exe)", "-d", "x"}},
      {R"(  c:\a\"b c"\x\ y)", {R"(c:\a\b c\x\)", "y"}},
  };
  for (const auto& [line, args] : cases)
    EXPECT_EQ(SplitWindowsCommandLine(line), args) << line;
}

TEST(QuoteWindowsArgument, EveryArgumentReadsBackUnchanged) {
  for (const std::string arg : {"", "plain", "two words", "\"", "\\", "a\\", "a\\\"b", "\\\\", "\t",
                                "x\"\"y", "\\\"\\", "end\\\\", "\"\"\"", " \\ "}) {
    const std::string line = "prog " + QuoteWindowsArgument(arg) + " next";
    EXPECT_EQ(SplitWindowsCommandLine(line), (Args{"prog", arg, "next"})) << line;
  }
  EXPECT_EQ(QuoteWindowsArgument("plain"), "plain");
  EXPECT_EQ(QuoteWindowsArgument("a b\\"), "\"a b\\\\\"");
}

TEST(NativeCommand, MapsTheProgramAndTheNamesItCanMap) {
  const test::PrivateRootFolder root;
  const std::filesystem::path working = WorkingFolder().value() / "tmp";
  const std::pair<std::string, Args> cases[] = {
      {R"(gzip.exe -d "D:\tmp\script qv 画.cfg.gz")",
#ifdef _WIN32  // Windows command lines already: only names on drive D: move
       {"gzip.exe", "-d", PathText(working / u8"script qv 画.cfg.gz")}},
      {R"(LZMA.EXE d "/opt/a\b c\npreset.7z" .\local\x)",
       {"LZMA.EXE", "d", "/opt/a\\b c\\npreset.7z", ".\\local\\x"}},
#else
       {"gzip", "-d", PathText(working / u8"script qv 画.cfg.gz")}},
      // Only the backslash before the tool's own file name separates.
      {R"(LZMA.EXE d "/opt/a\b c\npreset.7z" "/opt/a\b c\npreset")",
       {"lzma_alone", "d", "/opt/a\\b c/npreset.7z", "/opt/a\\b c/npreset"}},
      // Other programs lose only their ".exe".
      {R"(sh.EXE -c "echo a\b" .\local\x plain\name)",
       {"sh", "-c", "echo a\\b", (std::filesystem::current_path() / "local" / "x").string(),
        "plain\\name"}},
#endif
      {"tool", {"tool"}},
  };
  for (const auto& [line, argv] : cases) {
    const auto command = ToNativeCommand(line);
    ASSERT_TRUE(command.ok()) << command.error();
    EXPECT_EQ(command.value().argv, argv) << line;
  }
  for (const char* line : {R"(gzip.exe -d D:\tmp\..\..\x.gz)", "   ", R"("" x)"}) {
    const auto refused = ToNativeCommand(line);
    ASSERT_FALSE(refused.ok()) << line;
    EXPECT_FALSE(refused.error().empty()) << line;
  }
#ifndef _WIN32  // drive C: exists on Windows
  const auto other_drive = ToNativeCommand(R"(gzip.exe -d C:\tmp\x.gz)");
  ASSERT_FALSE(other_drive.ok());
  EXPECT_EQ(other_drive.failure().program, "gzip.exe");
  EXPECT_NE(other_drive.error().find(R"(C:\tmp\x.gz)"), std::string::npos);
#endif
}

}  // namespace
}  // namespace nuv::platform
