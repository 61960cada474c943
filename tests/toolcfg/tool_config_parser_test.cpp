#include "toolcfg/tool_config_parser.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "test_blocks.h"

namespace nuv::toolcfg {
namespace {

using namespace std::string_literals;
using testing::MakeRecord;
using Texts = std::vector<std::string>;

class ParserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // audio: two bytes before OFFSET 2, then volume 0x37, mute bit, "Hi".
    table_.records.push_back(MakeRecord(0x21, "audio", {0xAA, 0xBB, 0x37, 0x01, 'H', 'i', 0, 'x'}));
    table_.records.push_back(MakeRecord(0x22, "keys", {0x5A, 0xC3}));
    table_.records.push_back(MakeRecord(0x30, "wide", std::vector<uint8_t>(8, 0xFF)));
  }

  int Parse(const std::string& script) {
    return ParseToolConfigText(model_, script, table_, messages_);
  }
  // A script with the header and one block over `data`, whose item lines follow.
  int ParseItems(std::vector<uint8_t> data, const std::string& block_lines) {
    std::erase_if(table_.records,
                  [](const image::BlockRecord& r) { return r.entry.block_id() == 0x77; });
    table_.records.push_back(MakeRecord(0x77, "test", std::move(data)));
    return Parse("CFGHEADER=toolcfg\nSHEETID=2\nBLOCKINFO=test]\nINDEX=77\n" + block_lines);
  }
  const ConfigItem& Item(size_t index = 0) const {
    return model_.sheet2.blocks.back().items.at(index);
  }

  image::BlockTable table_;
  ToolConfig model_;
  RecordedMessages messages_;
};

TEST_F(ParserTest, EveryLineKind) {
  const std::string script =
      "// tool config of a test box\n"
      "FLASH=8M\n"
      "CFGHEADER=toolcfg\n"
      "SHEETID=2\n"
      "SHEETINFO=Name][Value][Min][Max\n"
      "BLOCKINFO=audio]\n"
      "EM=1\n"
      "INDEX=0x21\n"
      "OFFSET=2\n"
      "[volume][2][0][8][0][100][Loudness at start];\n"
      "\n"
      "##[mute][0][8][1][Silence at start] [label][1][16][0][Name shown];\n"
      "anything else is passed over\n"
      "SHEETID=3\n"
      "SHEETINFO=Key][Code\n"
      "BLOCKINFO=keys]\n"
      "INDEX=22\n"
      "[power][0][4][12];\n"
      "SHEETID=9\n"
      "BLOCKINFO=carry]\n"
      "[from keys][0][0][16];\n"
      "BLOCKINFO=wide]\n"
      "INDEX=30\n"
      "[all][0][0][64];\n";
  ASSERT_EQ(Parse(script), kToolConfigOk) << ::testing::PrintToString(messages_.texts());
  EXPECT_TRUE(messages_.shown().empty());

  const ToolConfigSheet& sheet2 = model_.sheet2;
  EXPECT_EQ(sheet2.name, "sheet2");
  ASSERT_EQ(sheet2.columns.size(), 4u);
  EXPECT_EQ(sheet2.columns[0].title, "Name");
  EXPECT_EQ(sheet2.columns[3].title, "Max");
  ASSERT_EQ(sheet2.blocks.size(), 1u);
  const ConfigBlock& audio = sheet2.blocks[0];
  EXPECT_EQ(audio.name, "audio");
  EXPECT_EQ(audio.em, 1);
  EXPECT_EQ(audio.block_id, 0x21);
  EXPECT_EQ(audio.start_offset, 2);
  ASSERT_EQ(audio.items.size(), 3u);
  EXPECT_EQ(audio.items[0].name, "volume");
  EXPECT_EQ(audio.items[0].type, kItemRange);
  EXPECT_EQ(audio.items[0].min, 0);
  EXPECT_EQ(audio.items[0].max, 100);
  EXPECT_EQ(audio.items[0].description, "Loudness at start");
  EXPECT_EQ(audio.items[0].number_value, 0x37u);
  EXPECT_EQ(audio.items[1].name, "mute");
  EXPECT_EQ(audio.items[1].bit_offset, 8);
  EXPECT_EQ(audio.items[1].bit_length, 1);
  EXPECT_EQ(audio.items[1].number_value, 1u);
  EXPECT_EQ(audio.items[2].name, "label");
  EXPECT_EQ(audio.items[2].type, kItemText);
  EXPECT_EQ(audio.items[2].text_value, "Hi");
  EXPECT_EQ(audio.items[2].description, "Name shown");

  const ToolConfigSheet& sheet3 = model_.sheet3;
  EXPECT_EQ(sheet3.name, "sheet3");
  ASSERT_EQ(sheet3.columns.size(), 2u);
  EXPECT_EQ(sheet3.columns[1].title, "Code");
  ASSERT_EQ(sheet3.blocks.size(), 1u);
  EXPECT_EQ(sheet3.blocks[0].em, 0);
  EXPECT_EQ(sheet3.blocks[0].start_offset, 0);
  EXPECT_TRUE(sheet3.blocks[0].items[0].description.empty());
  EXPECT_EQ(sheet3.blocks[0].items[0].number_value, 0xC35u);

  const ToolConfigSheet& sheet4 = model_.sheet4;
  EXPECT_EQ(sheet4.name, "sheet4");
  EXPECT_TRUE(sheet4.columns.empty());
  ASSERT_EQ(sheet4.blocks.size(), 2u);
  // A block without INDEX reads from the block of the last INDEX line.
  EXPECT_EQ(sheet4.blocks[0].block_id, 0);
  EXPECT_EQ(sheet4.blocks[0].items[0].number_value, 0xC35Au);
  // 64 bits of 0xFF: the largest unsigned number, not a negative one.
  EXPECT_EQ(sheet4.blocks[1].items[0].number_value, std::numeric_limits<uint64_t>::max());
}

TEST_F(ParserTest, SheetIdSelectsByExactValue) {
  ASSERT_EQ(Parse("CFGHEADER=toolcfg\nSHEETID=02\nBLOCKINFO=a]\nSHEETID==3\nBLOCKINFO=b]\n"
                  "SHEETID=3 \nBLOCKINFO=c]\nSHEETID=2\nBLOCKINFO=d]\nSHEETID=2\nBLOCKINFO=e]\n"),
            kToolConfigOk);
  ASSERT_EQ(model_.sheet4.blocks.size(), 2u);  // "02" and "3 "
  EXPECT_EQ(model_.sheet4.blocks[0].name, "a");
  EXPECT_EQ(model_.sheet4.blocks[1].name, "c");
  ASSERT_EQ(model_.sheet3.blocks.size(), 1u);  // runs of "=" count as one
  EXPECT_EQ(model_.sheet3.blocks[0].name, "b");
  // Selecting a sheet again keeps what it holds.
  ASSERT_EQ(model_.sheet2.blocks.size(), 2u);
  EXPECT_EQ(model_.sheet2.blocks[1].name, "e");
}

TEST_F(ParserTest, TheHeaderLine) {
  EXPECT_EQ(Parse("SHEETID=2\nCFGHEADER=toolcfg=and more\n"), kToolConfigOk);
  EXPECT_EQ(Parse("CFGHEADER=toolcfg2\nSHEETID=2\n"), kScriptError);
  EXPECT_EQ(Parse("SHEETID=2\n// no header at all\n"), kScriptError);
  EXPECT_TRUE(messages_.shown().empty());
  // Found after everything else: the first pass reads the whole file.
  EXPECT_EQ(Parse("SHEETID=3\nBLOCKINFO=late]\nCFGHEADER=toolcfg"), kToolConfigOk);
  EXPECT_EQ(model_.sheet3.blocks.size(), 1u);
  EXPECT_EQ(Parse("CFGHEADER=toolcfg\nCFGHEADER\n"), kScriptError);
  EXPECT_EQ(Parse("CFGHEADER===\n"), kScriptError);
  EXPECT_EQ(messages_.shown(), (std::vector<std::pair<BoxCaption, std::string>>{
                                   {BoxCaption::Application, "Error line!"},
                                   {BoxCaption::Application, "Error line!"}}));
}

TEST_F(ParserTest, NamesAndTitlesAreCut) {
  ASSERT_EQ(Parse("CFGHEADER=toolcfg\nSHEETID=2\nSHEETINFO=" + std::string(40, 'T') +
                  "][x]]]y];\nBLOCKINFO=blocknine]\nBLOCKINFO=]]short]rest\nINDEX=21\n[" +
                  std::string(30, 'n') + "][0][0][8];\n"),
            kToolConfigOk);
  EXPECT_EQ(model_.sheet2.columns.size(), 4u);
  EXPECT_EQ(model_.sheet2.columns[0].title, std::string(29, 'T'));
  EXPECT_EQ(model_.sheet2.columns[1].title, "x");
  EXPECT_EQ(model_.sheet2.columns[2].title, "");  // "y" without its first character
  EXPECT_EQ(model_.sheet2.columns[3].title, "");  // ";" likewise
  EXPECT_EQ(model_.sheet2.blocks[0].name, "blocknin");
  EXPECT_EQ(model_.sheet2.blocks[1].name, "short");
  EXPECT_EQ(model_.sheet2.blocks[1].items[0].name, std::string(19, 'n'));
  // A second SHEETINFO line replaces the titles.
  ASSERT_EQ(Parse("CFGHEADER=toolcfg\nSHEETID=2\nSHEETINFO=only\n"), kToolConfigOk);
  ASSERT_EQ(model_.sheet2.columns.size(), 1u);
  EXPECT_EQ(model_.sheet2.columns[0].title, "only");
}

TEST_F(ParserTest, NumbersAreDecimalAndIndexIsHexadecimal) {
  table_.records.push_back(MakeRecord(0x1A, "ta"));
  table_.records.push_back(MakeRecord(0xA4, "tb"));
  ASSERT_EQ(Parse("CFGHEADER=toolcfg\nSHEETID=2\nBLOCKINFO=a]\nINDEX=0x1A\nBLOCKINFO=b]\n"
                  "INDEX= 1A\nBLOCKINFO=c]\nINDEX=1A4\nOFFSET=  -3xyz\nEM=257\n"
                  "BLOCKINFO=d]\nINDEX=0x30\n[n][0x10][ +12][8]\n"),
            kToolConfigOk)
      << ::testing::PrintToString(messages_.texts());
  const auto& blocks = model_.sheet2.blocks;
  EXPECT_EQ(blocks[0].block_id, 0x1A);
  EXPECT_EQ(blocks[1].block_id, 0x1A);
  EXPECT_EQ(blocks[2].block_id, 0xA4);
  EXPECT_EQ(blocks[2].start_offset, -3);
  EXPECT_EQ(blocks[2].em, 1);             // the low 8 bits of 257
  EXPECT_EQ(blocks[3].items[0].type, 0);  // "0x10" is decimal 0
  EXPECT_EQ(blocks[3].items[0].bit_offset, 12);
}

TEST_F(ParserTest, ValuesOverBitOffsets) {
  ASSERT_EQ(ParseItems({0x00, 0x00, 0xAB}, "OFFSET=2\n[a][0][0][8];\n"), kToolConfigOk);
  EXPECT_EQ(Item().number_value, 0xABu);
  ASSERT_EQ(ParseItems({0xF0, 0x0F}, "[a][0][4][8];\n"), kToolConfigOk);
  EXPECT_EQ(Item().number_value, 0xFFu);
  ASSERT_EQ(ParseItems({0xF0, 0xFF, 0xFF, 0xFF, 0x0F}, "[a][0][4][32];\n"), kToolConfigOk);
  EXPECT_EQ(Item().number_value, 0xFFFFFFFFu);
  ASSERT_EQ(ParseItems({0x80, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}, "[a][0][7][64];\n"),
            kToolConfigOk);
  EXPECT_EQ(Item().number_value, std::numeric_limits<uint64_t>::max());
  ASSERT_EQ(ParseItems({0b1011'0110}, "[a][2][3][3][0][7] [b][0][7][0];\n"), kToolConfigOk);
  EXPECT_EQ(Item(0).number_value, 0b110u);
  EXPECT_EQ(Item(1).number_value, 0u);  // a field of length 0
  ASSERT_EQ(ParseItems(testing::Bytes(std::string("xyAB\0z", 6)), "[t][1][16][0];\n"),
            kToolConfigOk);
  EXPECT_EQ(Item().text_value, "AB");
  // Any type other than 0 and 2 reads a text; at most 19 characters; not past the data.
  ASSERT_EQ(ParseItems(testing::Bytes(std::string(25, 'q')), "[t][7][0][0] [u][1][160][0];\n"),
            kToolConfigOk);
  EXPECT_EQ(Item(0).text_value, std::string(19, 'q'));
  EXPECT_EQ(Item(0).type, 7);
  EXPECT_EQ(Item(1).text_value, std::string(5, 'q'));
  EXPECT_TRUE(messages_.shown().empty());
}

TEST_F(ParserTest, ItemLineSyntax) {
  // Two items separated by one blank, the line ending in ";".
  ASSERT_EQ(ParseItems({1, 2}, "[a][0][0][8] [b][0][8][8];\n"), kToolConfigOk);
  ASSERT_EQ(model_.sheet2.blocks.back().items.size(), 2u);
  EXPECT_EQ(Item(0).name, "a");
  EXPECT_EQ(Item(1).name, "b");
  EXPECT_EQ(Item(1).number_value, 2u);
  // "##" ends the line; a name piece holding "##" drops the rest of it.
  ASSERT_EQ(ParseItems({1, 2}, "##[a][0][0][8]##\n[c][0][0][8] [d##][x\n"), kToolConfigOk);
  ASSERT_EQ(model_.sheet2.blocks.back().items.size(), 2u);
  EXPECT_EQ(Item(1).name, "c");
  // Lines of only "##" or "####" hold no item.
  ASSERT_EQ(ParseItems({1}, "##\n####\n"), kToolConfigOk);
  ASSERT_EQ(model_.sheet2.blocks.back().items.size(), 0u);
  // A separator that is not a blank still separates; the line may just end.
  ASSERT_EQ(ParseItems({1, 2}, "[a][0][0][8];[b][0][8][8]\n"), kToolConfigOk);
  EXPECT_EQ(model_.sheet2.blocks.back().items.size(), 2u);
}

TEST_F(ParserTest, DescriptionsWithEmOne) {
  // A description can be as long as a line allows: the 999 characters of
  // the line less the 13 before it and the 2 after it.
  ASSERT_EQ(ParseItems({1}, "EM=1\n[a][1][0][0][" + std::string(984, 'd') + "];\n"), kToolConfigOk);
  EXPECT_EQ(Item().description, std::string(984, 'd'));
  EXPECT_TRUE(messages_.shown().empty());
  // A piece of ";" counts as a description (empty); nothing after the length is none.
  ASSERT_EQ(ParseItems({1}, "EM=1\n[a][0][0][8];\n"), kToolConfigOk);
  EXPECT_EQ(Item().description, "");
  EXPECT_EQ(ParseItems({1}, "EM=1\n[a][0][0][8]\n"), kScriptError);
  EXPECT_TRUE(messages_.shown().empty());
}

TEST_F(ParserTest, MalformedLinesFailSilently) {
  const char* bad[] = {"SHEETID\n",
                       "SHEETID=\n",
                       "SHEETINFO=\n",
                       "SHEETINFO\n",
                       "SHEETINFO=]]]\n",
                       "BLOCKINFO=]\n",
                       "BLOCKINFO=x]\nOFFSET\n",
                       "BLOCKINFO=x]\nEM=\n",
                       "BLOCKINFO=x]\nINDEX==\n",
                       "BLOCKINFO=x]\nINDEX=21\n[a]\n",
                       "BLOCKINFO=x]\nINDEX=21\n[a][0]\n",
                       "BLOCKINFO=x]\nINDEX=21\n[a][0][0]\n",
                       "BLOCKINFO=x]\nINDEX=21\n[a][2][0][8][1]\n"};
  for (const char* lines : bad) {
    model_ = {};
    EXPECT_EQ(Parse(std::string("CFGHEADER=toolcfg\nSHEETID=2\n") + lines), kScriptError) << lines;
  }
  EXPECT_TRUE(messages_.shown().empty());
}

TEST_F(ParserTest, AnUnknownIndexFailsAfterTheLookupsMessage) {
  EXPECT_EQ(Parse("CFGHEADER=toolcfg\nSHEETID=2\nBLOCKINFO=x]\nINDEX=99\n"), kScriptError);
  EXPECT_EQ(messages_.texts(), Texts{"ERROR!! can not find block id[0x99]in dmh!"});
  EXPECT_EQ(model_.sheet2.blocks.at(0).block_id, 0x99);
}

TEST_F(ParserTest, WhatWasAddedBeforeAFailureStaysAndParsingAgainAppends) {
  const std::string script = "CFGHEADER=toolcfg\nSHEETID=2\nBLOCKINFO=x]\nINDEX=21\n[a][0][0][8]\n";
  ASSERT_EQ(Parse(script + "[b][0]\n"), kScriptError);
  ASSERT_EQ(model_.sheet2.blocks.size(), 1u);
  EXPECT_EQ(model_.sheet2.blocks[0].items.size(), 2u);  // "b" was appended before it failed
  ASSERT_EQ(Parse(script), kToolConfigOk);
  EXPECT_EQ(model_.sheet2.blocks.size(), 2u);
  ClearToolConfig(model_);
  EXPECT_TRUE(model_.sheet2.name.empty());
  EXPECT_TRUE(model_.sheet2.blocks.empty());
}

TEST_F(ParserTest, LinesWithNothingToAttachToAreRefusedWithTheirLine) {
  struct Case {
    std::string lines;
    std::string message;
  };
  const Case cases[] = {
      {"SHEETINFO=a][b\n",
       "Script error in line 2: SHEETINFO comes before the first SHEETID line!"},
      {"BLOCKINFO=a]\n", "Script error in line 2: BLOCKINFO comes before the first SHEETID line!"},
      {"SHEETID=2\nOFFSET=1\n",
       "Script error in line 3: OFFSET comes before the first BLOCKINFO line!"},
      {"SHEETID=2\nEM=1\n", "Script error in line 3: EM comes before the first BLOCKINFO line!"},
      {"SHEETID=2\nINDEX=21\n",
       "Script error in line 3: INDEX comes before the first BLOCKINFO line!"},
      {"SHEETID=2\n[a][0][0][8];\n",
       "Script error in line 3: an item comes before the first BLOCKINFO line!"},
      {"SHEETID=2\nBLOCKINFO=x]\n\n[a][0][0][8];\n",
       "Script error in line 5: item [a] comes before the first INDEX line, so there is no block "
       "to read it from!"},
  };
  for (const Case& c : cases) {
    messages_.clear();
    EXPECT_EQ(Parse("CFGHEADER=toolcfg\n" + c.lines), kScriptError) << c.lines;
    EXPECT_EQ(messages_.texts(), Texts{c.message});
  }
}

TEST_F(ParserTest, ItemsOutsideTheirBlockAreRefused) {
  const std::string outside =
      "Script error in line 5: item [a] of block [test] lies outside the 2 bytes of block "
      "id[0x77]!";
  for (const char* lines : {"[a][0][9][8];\n", "[a][0][0][17];\n", "OFFSET=2\n[a][0][0][1];\n",
                            "OFFSET=-1\n[a][0][7][2];\n", "[a][0][-1][2];\n", "[a][1][16][0];\n",
                            "OFFSET=-1\n[a][1][0][0];\n", "OFFSET=2147483647\n[a][0][0][8];\n"}) {
    messages_.clear();
    const std::string block_lines(lines);
    EXPECT_EQ(ParseItems({1, 2}, block_lines), kScriptError) << lines;
    std::string expected = outside;
    if (block_lines.find("OFFSET") != std::string::npos)
      expected.replace(expected.find("line 5"), 6, "line 6");
    EXPECT_EQ(messages_.texts(), Texts{expected}) << lines;
  }
  messages_.clear();
  EXPECT_EQ(ParseItems(std::vector<uint8_t>(16), "[a][0][0][65];\n"), kScriptError);
  EXPECT_EQ(ParseItems(std::vector<uint8_t>(16), "[a][2][0][-1][0][1];\n"), kScriptError);
  EXPECT_EQ(
      messages_.texts(),
      (Texts{"Script error in line 5: item [a] is 65 bits long; a number has 0 to 64 bits!",
             "Script error in line 5: item [a] is -1 bits long; a number has 0 to 64 bits!"}));
  // On the very edge is still inside.
  messages_.clear();
  EXPECT_EQ(ParseItems({1, 0x80}, "[a][0][15][1] [b][1][8][0];\n"), kToolConfigOk);
  EXPECT_EQ(Item(0).number_value, 1u);
  EXPECT_EQ(Item(1).text_value, "\x80");
}

TEST_F(ParserTest, AnOverlongLineEndsTheScriptWithAMessage) {
  const std::string long_comment = "//" + std::string(1200, 'c');
  ASSERT_EQ(
      Parse("CFGHEADER=toolcfg\nSHEETID=2\nBLOCKINFO=a]\n" + long_comment + "\nBLOCKINFO=never]\n"),
      kToolConfigOk);
  EXPECT_EQ(model_.sheet2.blocks.size(), 1u);
  EXPECT_EQ(messages_.texts(), Texts{"Line 4 of the script is longer than 999 characters; the "
                                     "script is read only up to that line."});
  // A header behind the long line is never seen.
  messages_.clear();
  EXPECT_EQ(Parse(long_comment + "\nCFGHEADER=toolcfg\n"), kScriptError);
  EXPECT_EQ(messages_.texts().size(), 1u);
  // The first 999 characters of the long line still count.
  messages_.clear();
  EXPECT_EQ(Parse("CFGHEADER=toolcfg\nSHEETID=2\nSHEETINFO=" + std::string(1000, 'w') + "\n"),
            kToolConfigOk);
  EXPECT_EQ(model_.sheet2.columns.at(0).title, std::string(29, 'w'));
}

TEST_F(ParserTest, ScriptFiles) {
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("nuv-script-" + std::to_string(getpid()));
  std::ofstream(path, std::ios::binary)
      << "CFGHEADER=toolcfg\r\nSHEETID=3\r\nBLOCKINFO=keys]\r\nINDEX=22\r\n"
      << "[power][0][0][8]\0ignored\r\n"s;
  EXPECT_EQ(ParseToolConfig(model_, path.string(), table_, messages_), kToolConfigOk);
  ASSERT_EQ(model_.sheet3.blocks.size(), 1u);
  EXPECT_EQ(model_.sheet3.blocks[0].items.at(0).number_value, 0x5Au);
  std::filesystem::remove(path);
  EXPECT_EQ(ParseToolConfig(model_, path.string(), table_, messages_), kScriptNotOpened);
  EXPECT_TRUE(messages_.shown().empty());
}

}  // namespace
}  // namespace nuv::toolcfg
