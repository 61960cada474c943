#include "common/line_reader.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "test_files.h"

namespace nuv::common {
namespace {

using Lines = std::vector<std::string>;

Lines AllLines(LineReader& reader, size_t limit = LineReader::kMaxLine) {
  Lines lines;
  for (std::string line; reader.Next(line, limit) != LineStatus::kEnd;)
    lines.push_back(line);
  return lines;
}

TEST(LineReader, LinesEndAtLfAndAtTheirFirstNul) {
  const std::string longest(999, 'x');
  const std::pair<std::string, Lines> cases[] = {
      {"a\r\nb\n\nc", {"a", "b", "", "c"}},
      {"a\rb\r\r\n", {"a\rb\r"}},  // a lone CR is text
      {"x\r", {"x\r"}},
      {"x\n", {"x"}},
      {"", {}},
      {std::string("a\0b\nc", 5), {"a", "c"}},
      {longest + "\r\nnext", {longest, "next"}},
      {longest, {longest}},
  };
  for (const auto& [text, lines] : cases) {
    LineReader reader;
    reader.OpenText(text);
    EXPECT_EQ(AllLines(reader), lines) << text.substr(0, 20);
  }
}

TEST(LineReader, ALineBeyondTheLimitIsCutAndEndsTheReading) {
  LineReader reader;
  reader.OpenText("first\n" + std::string(200, 'y') + "\nnever\n");
  std::string line;
  EXPECT_EQ(reader.Next(line, 199), LineStatus::kLine);
  EXPECT_EQ(reader.Next(line, 199), LineStatus::kTooLong);
  EXPECT_EQ(line, std::string(199, 'y'));
  EXPECT_TRUE(reader.cut_short());
  EXPECT_EQ(reader.line_number(), 2u);
  EXPECT_EQ(reader.Next(line, 199), LineStatus::kEnd);
}

TEST(LineReader, ReadsRegularFilesOnlyAndNeverWaitsForAPipe) {
  const nuv::test::TempFolder temporary;
  const std::filesystem::path& folder = temporary.path();
  LineReader reader;
  for (const std::filesystem::path& path :
       {std::filesystem::path(temporary.Pipe("pipe")), folder, folder / "missing"})
    EXPECT_EQ(reader.Open(path), LineReader::OpenResult::kNotOpened) << path;
  // A file read in several chunks gives the same lines as its text.
  std::string text;
  for (int i = 0; i < 20000; ++i)
    text += std::to_string(i) + "\r\n";
  std::ofstream(folder / "lines.txt", std::ios::binary) << text;
  ASSERT_EQ(reader.Open(folder / "lines.txt"), LineReader::OpenResult::kOpened);
  const Lines lines = AllLines(reader);
  ASSERT_EQ(lines.size(), 20000u);
  EXPECT_EQ(lines.back(), "19999");
}

}  // namespace
}  // namespace nuv::common
