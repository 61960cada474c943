#include "toolcfg/line_reader.h"

#include <gtest/gtest.h>

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

// A longer line, cut and ending the reading, and the reading of files are
// seen through the parser.
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

}  // namespace
}  // namespace nuv::toolcfg
