#include "toolcfg/tool_config_parser.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "test_blocks.h"

namespace nuv::toolcfg {
namespace {

using enum ParseResult;

using namespace std::string_literals;
using testing::OwnBlockRecord;
using Texts = std::vector<std::string>;

// A sheet with every field of its blocks and items, a line for each.
std::string Dump(const ToolConfigSheet& sheet) {
  std::ostringstream out;
  out << sheet.name << ":";
  for (const SheetColumn& column : sheet.columns)
    out << " [" << column.title << "]";
  for (const ConfigBlock& block : sheet.blocks) {
    out << "\n " << block.name << " em " << int{block.em} << " id " << int{block.block_id}
        << " from " << block.start_offset;
    for (const ConfigItem& i : block.items)
      out << "\n  " << i.name << " " << static_cast<int32_t>(i.type) << " @" << i.bit_offset << "+"
          << i.bit_length << " " << i.min << ".." << i.max << " [" << i.description
          << "] = " << (i.is_number() ? std::to_string(i.number_value) : i.text_value);
  }
  return out.str();
}

// The named sheets one after the other.
std::string Dump(const ToolConfig& model) {
  std::string out;
  for (const ToolConfigSheet* sheet : {&model.sheet2, &model.sheet3, &model.sheet4})
    if (!sheet->name.empty())
      out += (out.empty() ? "" : "\n") + Dump(*sheet);
  return out;
}

class ParserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // audio: two bytes before OFFSET 2, then volume 0x37, mute bit, "Hi".
    table_.records = {OwnBlockRecord(0x21, "audio", {0xAA, 0xBB, 0x37, 0x01, 'H', 'i', 0, 'x'}),
                      OwnBlockRecord(0x22, "keys", {0x5A, 0xC3}),
                      OwnBlockRecord(0x30, "wide", std::vector<uint8_t>(8, 0xFF)),
                      OwnBlockRecord(0x1A, "ta", {}), OwnBlockRecord(0xA4, "tb", {})};
  }

  ParseResult Parse(const std::string& script) {
    return ParseToolConfigText(model_, script, table_, messages_);
  }
  // A script with the header and one block over `data`, whose item lines follow.
  ParseResult ParseItems(std::vector<uint8_t> data, const std::string& block_lines) {
    std::erase_if(table_.records,
                  [](const image::BlockRecord& r) { return r.entry.block_id() == 0x77; });
    table_.records.push_back(OwnBlockRecord(0x77, "test", std::move(data)));
    return Parse("CFGHEADER=toolcfg\nSHEETID=2\nBLOCKINFO=test]\nINDEX=77\n" + block_lines);
  }

  image::BlockTable table_;
  ToolConfig model_;
  RecordedMessages messages_;
};

TEST_F(ParserTest, ScriptsAndTheSheetsTheyFill) {
  const std::string long_comment = "//" + std::string(1200, 'c');
  const std::string overlong =
      " of the script is longer than 999 characters; the script is read "
      "only up to that line.";
  const struct Case {
    std::string script;
    ParseResult result;
    std::string sheets;
    Texts messages = {};
  } cases[] = {
      // Every line kind. A block without INDEX reads from the block of the
      // last INDEX line; 64 bits of 0xFF are the largest unsigned number,
      // not a negative one.
      {"// tool config of a test box\nFLASH=8M\nCFGHEADER=toolcfg\n"
       "SHEETID=2\nSHEETINFO=Name][Value][Min][Max\nBLOCKINFO=audio]\nEM=1\nINDEX=0x21\n"
       "OFFSET=2\n[volume][2][0][8][5][100][Loudness at start];\n\n"
       "##[mute][0][8][1][Silence at start] [label][1][16][0][Name shown];\n"
       "anything else is passed over\n"
       "SHEETID=3\nSHEETINFO=Key][Code\nBLOCKINFO=keys]\nINDEX=22\n[power][0][4][12];\n"
       "SHEETID=9\nBLOCKINFO=carry]\n[from keys][0][0][16];\n"
       "BLOCKINFO=wide]\nINDEX=30\n[all][0][0][64];\n",
       kParsed,
       "sheet2: [Name] [Value] [Min] [Max]\n"
       " audio em 1 id 33 from 2\n"
       "  volume 2 @0+8 5..100 [Loudness at start] = 55\n"
       "  mute 0 @8+1 0..0 [Silence at start] = 1\n"
       "  label 1 @16+0 0..0 [Name shown] = Hi\n"
       "sheet3: [Key] [Code]\n"
       " keys em 0 id 34 from 0\n"
       "  power 0 @4+12 0..0 [] = 3125\n"
       "sheet4:\n"
       " carry em 0 id 0 from 0\n"
       "  from keys 0 @0+16 0..0 [] = 50010\n"
       " wide em 0 id 48 from 0\n"
       "  all 0 @0+64 0..0 [] = 18446744073709551615"},
      // SHEETID selects by exact value: "02" and "3 " select no sheet of
      // their own, runs of "=" count as one, and selecting a sheet again
      // keeps what it holds.
      {"CFGHEADER=toolcfg\nSHEETID=02\nBLOCKINFO=a]\nSHEETID==3\nBLOCKINFO=b]\n"
       "SHEETID=3 \nBLOCKINFO=c]\nSHEETID=2\nBLOCKINFO=d]\nSHEETID=2\nBLOCKINFO=e]\n",
       kParsed,
       "sheet2:\n d em 0 id 0 from 0\n e em 0 id 0 from 0\nsheet3:\n b em 0 id 0 from 0\n"
       "sheet4:\n a em 0 id 0 from 0\n c em 0 id 0 from 0"},
      // The header line, found after everything else too: the first pass
      // reads the whole file.
      {"SHEETID=2\nCFGHEADER=toolcfg=and more\n", kParsed, "sheet2:"},
      {"SHEETID=3\nBLOCKINFO=late]\nCFGHEADER=toolcfg", kParsed, "sheet3:\n late em 0 id 0 from 0"},
      {"CFGHEADER=toolcfg2\nSHEETID=2\n", kScriptError, ""},
      {"SHEETID=2\n// no header at all\n", kScriptError, ""},
      {"CFGHEADER=toolcfg\nCFGHEADER\n", kScriptError, "", {"Error line!"}},
      {"CFGHEADER===\n", kScriptError, "", {"Error line!"}},
      // Names and titles are cut; "y" and ";" lose their first character. A
      // second SHEETINFO line replaces the titles.
      {"CFGHEADER=toolcfg\nSHEETID=2\nSHEETINFO=" + std::string(40, 'T') +
           "][x]]]y];\nBLOCKINFO=blocknine]\nBLOCKINFO=]]short]rest\nINDEX=21\n[" +
           std::string(30, 'n') + "][0][0][8];\nSHEETID=3\nSHEETINFO=a][b\nSHEETINFO=only\n",
       kParsed,
       "sheet2: [" + std::string(29, 'T') +
           "] [x] [] []\n blocknin em 0 id 0 from 0\n short em 0 id 33 from 0\n  " +
           std::string(19, 'n') + " 0 @0+8 0..0 [] = 170\nsheet3: [only]"},
      // Numbers are decimal and INDEX is hexadecimal: EM keeps the low 8
      // bits of 257; "0x10" is decimal 0.
      {"CFGHEADER=toolcfg\nSHEETID=2\nBLOCKINFO=a]\nINDEX=0x1A\nBLOCKINFO=b]\n"
       "INDEX= 1A\nBLOCKINFO=c]\nINDEX=1A4\nOFFSET=  -3xyz\nEM=257\n"
       "BLOCKINFO=d]\nINDEX=0x30\n[n][0x10][ +12][8]\n",
       kParsed,
       "sheet2:\n a em 0 id 26 from 0\n b em 0 id 26 from 0\n c em 1 id 164 from -3\n"
       " d em 0 id 48 from 0\n  n 0 @12+8 0..0 [] = 255"},
      // An overlong line ends the script, with a message; its first 999
      // characters still count, and a header behind it is never seen.
      {"CFGHEADER=toolcfg\nSHEETID=2\nBLOCKINFO=a]\n" + long_comment + "\nBLOCKINFO=never]\n",
       kParsed,
       "sheet2:\n a em 0 id 0 from 0",
       {"Line 4" + overlong}},
      {"CFGHEADER=toolcfg\nSHEETID=2\nSHEETINFO=" + std::string(1000, 'w') + "\n",
       kParsed,
       "sheet2: [" + std::string(29, 'w') + "]",
       {"Line 3" + overlong}},
      {long_comment + "\nCFGHEADER=toolcfg\n", kScriptError, "", {"Line 1" + overlong}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script.substr(0, 80));
    model_ = {};
    messages_.clear();
    EXPECT_EQ(Parse(c.script), c.result);
    EXPECT_EQ(Dump(model_), c.sheets);
    EXPECT_EQ(messages_.texts(), c.messages);
    for (const auto& [caption, _] : messages_.shown())
      EXPECT_EQ(caption, BoxCaption::Application);
  }
}

// Item lines over the data of a block "test": the items they give, as
// name=value {description}.
TEST_F(ParserTest, ItemLinesAndTheirValues) {
  const std::string max = std::to_string(std::numeric_limits<uint64_t>::max());
  struct Case {
    std::vector<uint8_t> data;
    std::string lines, items;
  };
  const Case cases[] = {
      {{0x00, 0x00, 0xAB}, "OFFSET=2\n[a][0][0][8];\n", "a=171"},
      {{0xF0, 0x0F}, "[a][0][4][8];\n", "a=255"},
      {{0x34, 0x12}, "[a][0][0][16];\n", "a=4660"},  // little-endian
      {{0xF0, 0xFF, 0xFF, 0xFF, 0x0F}, "[a][0][4][32];\n", "a=4294967295"},
      {{0x80, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}, "[a][0][7][64];\n", "a=" + max},
      {std::vector<uint8_t>(8, 0xFF), "[a][0][0][64];\n", "a=" + max},   // not a negative number
      {{0b1011'0110}, "[a][2][3][3][0][7] [b][0][7][0];\n", "a=6 b=0"},  // length 0 reads nothing
      {{1, 0x80}, "[a][0][15][1] [b][1][8][0];\n", "a=1 b=\x80"},        // on the very edge
      {testing::TextBytes(std::string("xyAB\0z", 6)), "[t][1][16][0];\n", "t=AB"},
      // "##" ends the line; a name piece holding "##" drops the rest of it.
      {{1, 2}, "##[a][0][0][8]##\n[c][0][0][8] [d##][x\n", "a=1 c=1"},
      {{1}, "##\n####\n", ""},
      // A separator that is not a blank still separates; the line may just end.
      {{1, 2}, "[a][0][0][8];[b][0][8][8]\n", "a=1 b=2"},
      // With EM 1 a description follows, as long as a line allows: its 999
      // characters less the 13 before and the 2 after; a piece of ";" counts
      // as one (empty).
      {{1},
       "EM=1\n[a][0][0][8][" + std::string(984, 'd') + "];\n",
       "a=1 {" + std::string(984, 'd') + "}"},
      {{1}, "EM=1\n[a][0][0][8];\n", "a=1"},
      // Any type other than 0 and 2 reads a text: at most 19 characters, not past the data.
      {testing::TextBytes(std::string(25, 'q')), "[t][7][0][0] [u][1][160][0];\n",
       "t=" + std::string(19, 'q') + " u=qqqqq"},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(ParseItems(c.data, c.lines), kParsed) << c.lines;
    std::string items;
    for (const ConfigItem& item : model_.sheet2.blocks.back().items)
      items += (items.empty() ? "" : " ") + item.name + "=" +
               (item.is_number() ? std::to_string(item.number_value) : item.text_value) +
               (item.description.empty() ? "" : " {" + item.description + "}");
    EXPECT_EQ(items, c.items) << c.lines;
  }
  EXPECT_EQ(model_.sheet2.blocks.back().items.at(0).type, ItemType{7});
  EXPECT_TRUE(messages_.shown().empty());
}

TEST_F(ParserTest, WhatWasAddedBeforeAFailureStaysAndParsingAgainAppends) {
  const std::string script = "CFGHEADER=toolcfg\nSHEETID=2\nBLOCKINFO=x]\nINDEX=21\n[a][0][0][8]\n";
  ASSERT_EQ(Parse(script + "[b][0]\n"), kScriptError);
  ASSERT_EQ(model_.sheet2.blocks.size(), 1u);
  EXPECT_EQ(model_.sheet2.blocks[0].items.size(), 2u);  // "b" was appended before it failed
  ASSERT_EQ(Parse(script), kParsed);
  EXPECT_EQ(model_.sheet2.blocks.size(), 2u);
  ClearToolConfig(model_);
  EXPECT_TRUE(model_.sheet2.name.empty());
  EXPECT_TRUE(model_.sheet2.blocks.empty());
}

// After the header line: a malformed line fails silently; a line out of
// place, or an item that does not fit its block, with a message naming it.
TEST_F(ParserTest, RefusedLines) {
  table_.records.push_back(OwnBlockRecord(0x77, "test", {1, 2}));
  const std::string s2 = "SHEETID=2\n", x = s2 + "BLOCKINFO=x]\n",
                    test = s2 + "BLOCKINFO=test]\nINDEX=77\n";
  const auto outside = [](int line) {
    return "Script error in line " + std::to_string(line) +
           ": item [a] of block [test] lies outside the 2 bytes of block id[0x77]!";
  };
  const auto before = [](int line, const std::string& what, const std::string& first) {
    return "Script error in line " + std::to_string(line) + ": " + what +
           " comes before the first " + first + " line!";
  };
  for (const char* lines :
       {"SHEETID\n", "SHEETID=\n", "SHEETINFO=\n", "SHEETINFO\n", "SHEETINFO=]]]\n",
        "BLOCKINFO=]\n", "BLOCKINFO=x]\nOFFSET\n", "BLOCKINFO=x]\nEM=\n", "BLOCKINFO=x]\nINDEX==\n",
        "BLOCKINFO=x]\nINDEX=21\n[a]\n", "BLOCKINFO=x]\nINDEX=21\n[a][0]\n",
        "BLOCKINFO=x]\nINDEX=21\n[a][0][0]\n", "BLOCKINFO=x]\nINDEX=21\n[a][2][0][8][1]\n",
        "BLOCKINFO=x]\nINDEX=21\nEM=1\n[a][0][0][8]\n"}) {  // the last: no description at all
    model_ = {};
    EXPECT_EQ(Parse("CFGHEADER=toolcfg\n" + s2 + lines), kScriptError) << lines;
  }
  EXPECT_TRUE(messages_.shown().empty());
  std::vector<std::pair<std::string, std::string>> cases = {
      {"SHEETINFO=a][b\n", before(2, "SHEETINFO", "SHEETID")},
      {"BLOCKINFO=a]\n", before(2, "BLOCKINFO", "SHEETID")},
      {s2 + "OFFSET=1\n", before(3, "OFFSET", "BLOCKINFO")},
      {s2 + "EM=1\n", before(3, "EM", "BLOCKINFO")},
      {s2 + "INDEX=21\n", before(3, "INDEX", "BLOCKINFO")},
      {s2 + "[a][0][0][8];\n", before(3, "an item", "BLOCKINFO")},
      {x + "\n[a][0][0][8];\n",
       "Script error in line 5: item [a] comes before the first INDEX line, so there is no block "
       "to read it from!"},
      {test + "[a][0][0][65];\n",
       "Script error in line 5: item [a] is 65 bits long; a number has 0 to 64 bits!"},
      {test + "[a][2][0][-1][0][1];\n",
       "Script error in line 5: item [a] is -1 bits long; a number has 0 to 64 bits!"}};
  for (const char* item : {"[a][0][9][8];", "[a][0][0][17];", "[a][0][-1][2];", "[a][1][16][0];"})
    cases.emplace_back(test + item + "\n", outside(5));
  for (const char* lines : {"OFFSET=2\n[a][0][0][1];", "OFFSET=-1\n[a][0][7][2];",
                            "OFFSET=-1\n[a][1][0][0];", "OFFSET=2147483647\n[a][0][0][8];"})
    cases.emplace_back(test + lines + "\n", outside(6));
  for (const auto& [lines, message] : cases) {
    model_ = {};
    messages_.clear();
    EXPECT_EQ(Parse("CFGHEADER=toolcfg\n" + lines), kScriptError) << lines;
    EXPECT_EQ(messages_.texts(), Texts{message}) << lines;
  }
}

// Read whole, lines ending in CR LF, a line's text ending at a zero byte; a
// missing file and a folder at the script's place are not opened.
TEST_F(ParserTest, ScriptFiles) {
  const nuv::test::TempFolder folder;
  const std::string path =
      folder.Write("script",
                   "CFGHEADER=toolcfg\r\nSHEETID=3\r\nBLOCKINFO=keys]\r\nINDEX=22\r\n"
                   "[power][0][0][8]\0ignored\r\n"s);
  EXPECT_EQ(ParseToolConfig(model_, path, table_, messages_), kParsed);
  ASSERT_EQ(model_.sheet3.blocks.size(), 1u);
  EXPECT_EQ(model_.sheet3.blocks[0].items.at(0).number_value, 0x5Au);
  for (const std::filesystem::path& nothing : {folder / "missing", folder.path()})
    EXPECT_EQ(ParseToolConfig(model_, nothing.string(), table_, messages_), kNotOpened);
  EXPECT_TRUE(messages_.shown().empty());
}

}  // namespace
}  // namespace nuv::toolcfg
