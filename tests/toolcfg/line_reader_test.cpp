#include "toolcfg/line_reader.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace nuv::toolcfg {
namespace {

std::vector<std::string> AllLines(LineReader& reader) {
  std::vector<std::string> lines;
  std::string line;
  while (reader.Next(line))
    lines.push_back(line);
  return lines;
}

std::vector<std::string> Lines(std::string text) {
  LineReader reader;
  reader.OpenText(std::move(text));
  return AllLines(reader);
}

TEST(LineReader, LinesEndAtLfAndDropTheCrBeforeIt) {
  EXPECT_EQ(Lines("a\r\nb\n\nc"), (std::vector<std::string>{"a", "b", "", "c"}));
  EXPECT_EQ(Lines("a\rb\r\r\n"), (std::vector<std::string>{"a\rb\r"}));  // a lone CR is text
  EXPECT_EQ(Lines("x\n"), (std::vector<std::string>{"x"}));
  EXPECT_TRUE(Lines("").empty());
  EXPECT_EQ(Lines(std::string("a\0b\n", 4)), (std::vector<std::string>{std::string("a\0b", 3)}));
}

TEST(LineReader, ALineOfAtMost999CharactersIsWhole) {
  const std::string longest(999, 'x');
  EXPECT_EQ(Lines(longest + "\r\nnext"), (std::vector<std::string>{longest, "next"}));
  EXPECT_EQ(Lines(longest), (std::vector<std::string>{longest}));
}

TEST(LineReader, ALongerLineIsCutAndReadingStops) {
  LineReader reader;
  reader.OpenText("first\n" + std::string(999, 'y') + "z and more\nnever read\n");
  std::string line;
  ASSERT_TRUE(reader.Next(line));
  EXPECT_EQ(reader.line_number(), 1u);
  EXPECT_FALSE(reader.cut_short());
  ASSERT_TRUE(reader.Next(line));
  EXPECT_EQ(line, std::string(999, 'y'));
  EXPECT_TRUE(reader.cut_short());
  EXPECT_EQ(reader.line_number(), 2u);
  EXPECT_FALSE(reader.Next(line));
  EXPECT_TRUE(line.empty());
}

TEST(LineReader, ReadsFilesAndRefusesMissingOnes) {
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("nuv-lines-" + std::to_string(getpid()));
  std::ofstream(path, std::ios::binary) << "one\r\ntwo\n";
  LineReader reader;
  ASSERT_TRUE(reader.Open(path));
  EXPECT_EQ(AllLines(reader), (std::vector<std::string>{"one", "two"}));
  reader.Close();
  EXPECT_FALSE(reader.is_open());
  std::filesystem::remove(path);
  EXPECT_FALSE(reader.Open(path));
  std::string line;
  EXPECT_FALSE(reader.Next(line));
}

TEST(LineReader, AFolderAtTheScriptsPlaceIsNoScript) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("nuv-lines-dir-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  LineReader reader;
  EXPECT_FALSE(reader.Open(folder));
  std::string line;
  EXPECT_FALSE(reader.Next(line));
  std::filesystem::remove(folder);
}

}  // namespace
}  // namespace nuv::toolcfg
