#include "legacy/script_parser.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "legacy_fixtures.h"

namespace nuv::legacy {
namespace {

using ::testing::ElementsAre;
using testing::ParseText;

constexpr uint32_t k2M = 2097152;

// The blocks one to a line, "id em 'name' offset", each field as
// [name:type:offset+length], a list's range as :start..end/step, a
// description in braces.
std::string Describe(const std::vector<ScriptBlock>& blocks) {
  std::string out;
  for (const ScriptBlock& b : blocks) {
    out += std::to_string(b.block_id) + " " + std::to_string(b.em) + " '" + b.name + "' " +
           std::to_string(b.offset);
    for (const ScriptField& f : b.fields) {
      out += " [" + f.name + ":" + std::to_string(f.type) + ":" + std::to_string(f.bit_offset) +
             "+" + std::to_string(f.bit_length);
      if (f.type == kListField)
        out += ":" + std::to_string(f.list_start) + ".." + std::to_string(f.list_end) + "/" +
               std::to_string(f.list_step);
      if (!f.description.empty())
        out += " {" + f.description + "}";
      out += "]";
    }
    out += "\n";
  }
  return out;
}

struct Parsed {
  bool ok = false;
  std::string blocks;
  std::vector<std::string> messages;
};

Parsed Parse(const std::string& text, uint32_t flash_size = k2M) {
  RecordedMessages messages;
  Parsed out;
  const std::optional<std::vector<ScriptBlock>> blocks = ParseText(text, flash_size, messages);
  out.ok = blocks.has_value();
  out.blocks = Describe(blocks.value_or(std::vector<ScriptBlock>()));
  out.messages = messages.texts();
  for (const auto& [caption, _] : messages.shown())
    EXPECT_EQ(caption, BoxCaption::Error);
  return out;
}

// Each script gives its blocks, or is refused with no blocks and one
// message.
TEST(ScriptParser, ScriptsGiveTheirBlocksOrOneMessage) {
  std::string hundred = "ID=1\n##\n";
  for (int i = 0; i < 99; ++i)
    hundred += "[F" + std::to_string(i) + "][0][" + std::to_string(i) + "][1];\n";
  const std::string range =
      "Field list data error! The step must not be 0, and a list offers at most 65536 values.";
  const std::string list_items =
      "Field list data error! A list field needs its start, end and step.";
  const std::string before_id = "Error line! Block data before the first ID line.";
  const std::string name999 = "name=" + std::string(994, 'n');
  const struct Case {
    std::string script;
    std::string blocks;
    std::string message = {};
    uint32_t flash = k2M;
  } cases[] = {
      {"FLASH=2M\nID=1\n", "1 0 '' 0\n"},
      {"FLASH=1M\nID=1\n", "1 0 '' 0\n", "", 1048576},
      {"FLASH=1048576\nID=1\n", "1 0 '' 0\n", "", 1048576},
      {"FLASH=512K\nID=1\n", "1 0 '' 0\n", "", 524288},
      // C notation, low 8 bits of the id.
      {"ID=0x1F\nID=31\nID=037\nID=300\nID= 7\n",
       "31 0 '' 0\n31 0 '' 0\n31 0 '' 0\n44 0 '' 0\n7 0 '' 0\n"},
      // Names cut at 19 characters, "0x100" read as a decimal, EM's low 8 bits.
      {"ID=5\nEM=1\nname=Front panel settings\nOFFSET=256\nID=6\nOFFSET=0x100\nEM=258\nID=7\n",
       "5 1 'Front panel setting' 256\n6 2 '' 0\n7 0 '' 0\n"},
      // Keywords only check the line's start; a value ends at the next "=".
      {"IDX=3\nnames=a\n name=ignored\nEM=1=2\n", "3 1 'a' 0\n"},
      {"ID=1\nname= a b \n", "1 0 ' a b ' 0\n"},
      {"ID=1\n##[A][0][0][8]##\n", "1 0 '' 0 [A:0:0+8]\n"},
      {"ID=1\n##[A][0][0][8] [B][1][8][64]##\n", "1 0 '' 0 [A:0:0+8] [B:1:8+64]\n"},
      // Without a separator the next name loses its first character.
      {"ID=1\n##[A][0][0][8][Bx][1][8][64]##\n", "1 0 '' 0 [A:0:0+8] [x:1:8+64]\n"},
      {"ID=1\n##[A][0][0][8][B][1][8][64]##\n", "1 0 '' 0 [A:0:0+8] [:1:8+64]\n"},
      // ";" continues the list past comments and empty lines; after "##" it is closed.
      {"ID=0x21\nEM=0\nname=Panel\nOFFSET=16\n##[Standby][0][0][1] [Delay][0][8][8];\r\n"
       "// note\n\n[Mode][2][16][4][0][15][1]##\n[Ignored][0][0][1]##\nID=0x22\n",
       "33 0 'Panel' 16 [Standby:0:0+1] [Delay:0:8+8] [Mode:2:16+4:0..15/1]\n34 0 '' 0\n"},
      {"ID=1\n##\n[A][0][0][8]##\n", "1 0 '' 0 [A:0:0+8]\n"},
      // Marks where a name is expected close the list.
      {"ID=1\n##[A][0][0][8] ##\n[B][0][0][8]##\n", "1 0 '' 0 [A:0:0+8]\n"},
      {"ID=1\n####\n", "1 0 '' 0\n"},
      {"random text\nID=1\n[A][0][0][8]##\nmore\n", "1 0 '' 0\n"},
      // A description (EM 3) kept as written, backslash and n included.
      {"ID=1\nEM=3\n##[ABCDEFGHIJKLMNOPQRSTUVWXYZ][0][0][8][Shows\\nthe mode] "
       "[B][2][8][2][0][3][1][]##\n",
       "1 3 '' 0 [ABCDEFGHIJKLMNOPQRS:0:0+8 {Shows\\nthe mode}] [B:2:8+2:0..3/1]\n"},
      // The EM must come before the list for a description to be expected.
      {"ID=1\n##[A][0][0][8]##\nEM=3\n", "1 3 '' 0 [A:0:0+8]\n"},
      {"ID=1\n##[M][2][0][16][0][65535][1]##\n", "1 0 '' 0 [M:2:0+16:0..65535/1]\n"},
      // A list whose start is above its end offers no values, which is no error.
      {"ID=1\n##[M][2][0][4][9][3][1]##\n", "1 0 '' 0 [M:2:0+4:9..3/1]\n"},
      {"ID=1\n##[A][0][0][8];\n##[B][0][8][8]##\n", "1 0 '' 0 [A:0:0+8] [B:0:8+8]\n"},
      // A line of 999 characters is read; a longer one ends the reading, but
      // its first 999 characters count.
      {"ID=1\n" + name999 + "\nID=2\n", "1 0 '" + std::string(19, 'n') + "' 0\n2 0 '' 0\n"},
      {"ID=1\n" + name999 + "XYZ\nID=2\n", "1 0 '" + std::string(19, 'n') + "' 0\n"},
      {"ID=9" + std::string(1200, ' ') + "\nID=2\n", "9 0 '' 0\n"},
      // Refused. A blank after "=" makes "2M" no word: it reads as the number 2.
      {"FLASH= 2M\nID=1\n", "", "Flash size mismatch!"},
      {"FLASH=1M\nID=1\n", "", "Flash size mismatch!"},
      {"FLASH=2M\nID=1\nFLASH=512K\n", "", "Flash size mismatch!"},
      {"ID=\n", "", "Error line!"},
      {"ID=1\nEM\n", "", "Error line!"},
      {"ID=1\nname==x\n", "", "Error line!"},
      {"FLASH\n", "", "Error line!"},
      {hundred + "[Last][0][0][1];\n[Extra][0][0][1]##\n", "", "Too many dynamic fields!"},
      {"ID=1\n##[A]\n", "", "Field type data error!"},
      // A line that ends, or a closing mark, where an item belongs: that
      // item is missing.
      {"ID=1\n##[A]##\n", "", "Field type data error!"},
      {"ID=1\n##[A][0]", "", "Field offset data error!"},
      {"ID=1\n##[A][0][0]\n", "", "Field length data error!"},
      {"ID=1\n##[A][0][0]##\n", "", "Field length data error!"},
      {"ID=1\nEM=3\n##[A][0][0][8]\n", "", "Field desc data error!"},
      {"ID=1\nEM=3\n##[A][0][0][8]##\n", "", "Field desc data error!"},
      {"ID=1\n##[A][0][0][8]; \n", "", "Field type data error!"},
      {"ID=1\n##[M][2][0][4][0][15]\n", "", list_items},
      {"ID=1\n##[M][2][0][4][0][15];\n", "", list_items},
      {"ID=1\n##[M][2][0][4][0][15][0]##\n", "", range},
      {"ID=1\n##[M][2][0][32][0][4294967295][1]##\n", "", range},
      {"EM=1\nID=1\n", "", before_id},
      {"name=x\nID=1\n", "", before_id},
      {"OFFSET=1\nID=1\n", "", before_id},
      {"##[A][0][0][8]##\nID=1\n", "", before_id},
      {"ID=1\n##[A][0][0][8]##\n##[B][0][0][8]##\n", "",
       "Error line! A block has only one field list."},
      {"ID=1\n##[A][0][0][8]\n", "",
       "Field end data error! A field line must end with \";\" or \"##\"."},
      {"// only\n// comments\n", "", "Script file has no valid block information!"},
      {"", "", "Script file has no valid block information!"},
  };
  ASSERT_TRUE(Parse(hundred + "[Last][0][0][1]##\n").ok);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script.substr(0, 80));
    const Parsed parsed = Parse(c.script, c.flash);
    EXPECT_EQ(parsed.ok, c.message.empty());
    EXPECT_EQ(parsed.blocks, c.blocks);
    EXPECT_EQ(parsed.messages,
              c.message.empty() ? std::vector<std::string>{} : std::vector{c.message});
  }
}

TEST(ScriptParser, ListItemsStepUpToTheEndWithoutWrapping) {
  ScriptField field;
  field.type = kListField;
  field.list_start = 0xFFFFFFF0;
  field.list_end = 0xFFFFFFFF;
  field.list_step = 8;
  EXPECT_THAT(ListItems(field), ElementsAre(0xFFFFFFF0u, 0xFFFFFFF8u));
  field.list_step = 0;
  EXPECT_TRUE(ListItems(field).empty());
  field = {};
  field.list_end = 65535;
  field.list_step = 1;
  EXPECT_EQ(ListItems(field).size(), kMaxListItems);
}

TEST(ParseLegacyScript, ReadsTheFileAtTheScriptPathAndAFailedParseEmptiesTheList) {
  testing::TempFolder folder;
  image::FlashImage image;
  image.flash_size = k2M;
  LegacyBlockList list;
  RecordedMessages messages;
  // No path; a missing file; an image without a software version leaves
  // only its folder as the path; a pipe.
  for (const std::string& path : {std::string(), std::string("/nonexistent/folder/V1.0"),
                                  folder.path().string() + "/", folder.Pipe("V2.0")}) {
    image.script_path = path;
    EXPECT_EQ(ParseLegacyScript(image, list, messages).status, ScriptParseStatus::kCannotOpen);
  }
  const std::string cannot_open =
      "Please put the correct script file in the same directory as the flash binary!";
  EXPECT_THAT(messages.texts(),
              ElementsAre("Please select script file!", cannot_open, cannot_open, cannot_open));
  messages.clear();

  image.script_path = folder.Write("V1.0", "FLASH=2M\nID=1\nEM=1\nname=kernel\nID=0\nname=cfg\n");
  const uint64_t before = list.generation();
  EXPECT_TRUE(ParseLegacyScript(image, list, messages).open_customer_config());
  EXPECT_TRUE(messages.shown().empty());
  ASSERT_EQ(list.count(), 2u);
  EXPECT_NE(list.generation(), before);
  EXPECT_EQ(FirstScriptBlock(list)->name, "kernel");

  const BlockHandle handle = list.Handle(1);
  image.script_path = folder.Write("V1.0", "// nothing\n");
  EXPECT_EQ(ParseLegacyScript(image, list, messages).status, ScriptParseStatus::kScriptError);
  EXPECT_EQ(list.count(), 0u);
  EXPECT_EQ(list.Find(handle), nullptr);
  EXPECT_THAT(messages.texts(), ElementsAre("Script file has no valid block information!"));
}

// Handles after a new parse of the same size are refused by Generate and
// the field edit tests; here the empty and out-of-range ends.
TEST(LegacyBlockList, EmptyListsAndHandlesOutOfRangeFindNothing) {
  LegacyBlockList list;
  EXPECT_EQ(FirstScriptBlock(list), nullptr);
  EXPECT_EQ(FirstScriptField(static_cast<ScriptBlock*>(nullptr)), nullptr);
  std::vector<ScriptBlock> blocks(2);
  blocks[1].fields.resize(3);
  blocks[1].fields[0].name = "first";
  blocks[1].control_id = 20200;
  list.Assign(std::move(blocks));
  EXPECT_EQ(FirstScriptField(&list.blocks()[0]), nullptr);
  EXPECT_EQ(FirstScriptField(&list.blocks()[1])->name, "first");
  EXPECT_EQ(list.FindByControlId(20200), 1u);
  EXPECT_FALSE(list.FindByControlId(20201));
  EXPECT_EQ(list.Find(list.Handle(1)), &list.blocks()[1]);
  EXPECT_EQ(list.Find(list.Handle(2)), nullptr);
}

}  // namespace
}  // namespace nuv::legacy
