#include "toolcfg/line_reader.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace nuv::toolcfg {
namespace {

using Lines = std::vector<std::string>;

Lines AllLines(LineReader& reader) {
  Lines lines;
  for (std::string line; reader.Next(line);)
    lines.push_back(line);
  return lines;
}

// A longer line, cut and ending the reading, is seen through the parser's
// message for it.
TEST(LineReader, LinesEndAtLfAndAtMost999CharactersAreWhole) {
  const std::string longest(999, 'x');
  const std::pair<std::string, Lines> cases[] = {
      {"a\r\nb\n\nc", {"a", "b", "", "c"}},
      {"a\rb\r\r\n", {"a\rb\r"}},  // a lone CR is text
      {"x\n", {"x"}},
      {"", {}},
      {std::string("a\0b\n", 4), {std::string("a\0b", 3)}},
      {longest + "\r\nnext", {longest, "next"}},
      {longest, {longest}},
  };
  for (const auto& [text, lines] : cases) {
    LineReader reader;
    reader.OpenText(text);
    EXPECT_EQ(AllLines(reader), lines) << text.substr(0, 20);
  }
}

TEST(LineReader, ReadsFilesAndRefusesMissingOnesAndFolders) {
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("nuv-lines-" + std::to_string(getpid()));
  std::ofstream(path, std::ios::binary) << "one\r\ntwo\n";
  LineReader reader;
  ASSERT_TRUE(reader.Open(path));
  EXPECT_EQ(AllLines(reader), (Lines{"one", "two"}));
  reader.Close();
  EXPECT_FALSE(reader.is_open());
  std::filesystem::remove(path);
  std::string line;
  for (const std::filesystem::path& refused : {path, std::filesystem::temp_directory_path()}) {
    EXPECT_FALSE(reader.Open(refused)) << refused;
    EXPECT_FALSE(reader.Next(line));
  }
}

}  // namespace
}  // namespace nuv::toolcfg
