#include "legacy/script_parser.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "legacy_fixtures.h"

namespace nuv::legacy {
namespace {

using ::testing::ElementsAre;
using testing::ParseText;

constexpr uint32_t k2M = 2097152;

struct Parsed {
  bool ok = false;
  std::vector<ScriptBlock> blocks;
  std::vector<std::string> messages;
};

Parsed Parse(const std::string& text, uint32_t flash_size = k2M) {
  RecordedMessages messages;
  Parsed out;
  out.blocks = ParseText(text, flash_size, messages, &out.ok);
  out.messages = messages.texts();
  for (const auto& [caption, _] : messages.shown())
    EXPECT_EQ(caption, BoxCaption::Error);
  return out;
}

// The message of a script that must be refused, which yields no blocks.
std::string Refusal(const std::string& text) {
  const Parsed parsed = Parse(text);
  EXPECT_FALSE(parsed.ok);
  EXPECT_TRUE(parsed.blocks.empty());
  return parsed.messages.size() == 1 ? parsed.messages[0]
                                     : "(" + std::to_string(parsed.messages.size()) + " messages)";
}

TEST(ScriptParser, FlashLineMustMatchTheImage) {
  EXPECT_TRUE(Parse("FLASH=2M\nID=1\n").ok);
  EXPECT_TRUE(Parse("FLASH=1M\nID=1\n", 1048576).ok);
  EXPECT_TRUE(Parse("FLASH=1048576\nID=1\n", 1048576).ok);
  EXPECT_TRUE(Parse("FLASH=512K\nID=1\n", 524288).ok);
  // A blank after "=" makes it no word: it reads as the number 2.
  EXPECT_EQ(Refusal("FLASH= 2M\nID=1\n"), "Flash size mismatch!");
  EXPECT_EQ(Refusal("FLASH=1M\nID=1\n"), "Flash size mismatch!");
  // Every FLASH line counts, wherever it stands.
  EXPECT_EQ(Refusal("FLASH=2M\nID=1\nFLASH=512K\n"), "Flash size mismatch!");
}

TEST(ScriptParser, IdIsReadInCNotationAndKeepsItsLow8Bits) {
  const Parsed parsed = Parse("ID=0x1F\nID=31\nID=037\nID=300\nID= 7\n");
  ASSERT_TRUE(parsed.ok);
  std::vector<int> ids;
  for (const auto& block : parsed.blocks)
    ids.push_back(block.block_id);
  EXPECT_THAT(ids, ElementsAre(31, 31, 31, 44, 7));
}

TEST(ScriptParser, BlockValuesAndDefaults) {
  const Parsed parsed = Parse(
      "ID=5\nEM=1\nname=Front panel settings\nOFFSET=256\n"
      "ID=6\nOFFSET=0x100\nEM=258\n"
      "ID=7\n");
  ASSERT_TRUE(parsed.ok);
  ASSERT_EQ(parsed.blocks.size(), 3u);
  EXPECT_EQ(parsed.blocks[0].em, 1);
  EXPECT_EQ(parsed.blocks[0].name, "Front panel setting");  // 19 characters
  EXPECT_EQ(parsed.blocks[0].offset, 256u);
  EXPECT_EQ(parsed.blocks[1].offset, 0u);  // "0x100" is read as a decimal number
  EXPECT_EQ(parsed.blocks[1].em, 2);       // low 8 bits
  const ScriptBlock& bare = parsed.blocks[2];
  EXPECT_EQ(bare.control_id, kNoControl);
  EXPECT_EQ(bare.em, 0);
  EXPECT_EQ(bare.name, "");
  EXPECT_EQ(bare.offset, 0u);
  EXPECT_EQ(bare.field_count(), 0u);
}

TEST(ScriptParser, KeywordsOnlyCheckTheBeginningOfTheLine) {
  const Parsed parsed = Parse("IDX=3\nnames=a\n name=ignored\nEM=1=2\n");
  ASSERT_TRUE(parsed.ok);
  ASSERT_EQ(parsed.blocks.size(), 1u);
  EXPECT_EQ(parsed.blocks[0].block_id, 3);
  EXPECT_EQ(parsed.blocks[0].name, "a");
  EXPECT_EQ(parsed.blocks[0].em, 1);  // the value ends at the next "="
}

TEST(ScriptParser, ValuesKeepTheirBlanks) {
  const Parsed parsed = Parse("ID=1\nname= a b \n");
  ASSERT_TRUE(parsed.ok);
  EXPECT_EQ(parsed.blocks[0].name, " a b ");
}

TEST(ScriptParser, KeyLineWithoutValueIsAnErrorLine) {
  EXPECT_EQ(Refusal("ID=\n"), "Error line!");
  EXPECT_EQ(Refusal("ID=1\nEM\n"), "Error line!");
  EXPECT_EQ(Refusal("ID=1\nname==x\n"), "Error line!");
  EXPECT_EQ(Refusal("FLASH\n"), "Error line!");
}

TEST(ScriptParser, FieldsOnTheOpeningLine) {
  Parsed parsed = Parse("ID=1\n##[A][0][0][8]##\n");
  ASSERT_TRUE(parsed.ok);
  ASSERT_EQ(parsed.blocks[0].fields.size(), 1u);
  const ScriptField& a = parsed.blocks[0].fields[0];
  EXPECT_EQ(a.name, "A");
  EXPECT_EQ(a.type, kNumberField);
  EXPECT_EQ(a.bit_offset, 0u);
  EXPECT_EQ(a.bit_length, 8u);
  EXPECT_EQ(a.control_id, kNoControl);

  parsed = Parse("ID=1\n##[A][0][0][8] [B][1][8][64]##\n");
  ASSERT_TRUE(parsed.ok);
  ASSERT_EQ(parsed.blocks[0].fields.size(), 2u);
  EXPECT_EQ(parsed.blocks[0].fields[1].name, "B");
  EXPECT_EQ(parsed.blocks[0].fields[1].type, kTextField);
  EXPECT_EQ(parsed.blocks[0].fields[1].bit_offset, 8u);
  EXPECT_EQ(parsed.blocks[0].fields[1].bit_length, 64u);

  // Without a separator the next name loses its first character.
  parsed = Parse("ID=1\n##[A][0][0][8][Bx][1][8][64]##\n");
  ASSERT_TRUE(parsed.ok);
  EXPECT_EQ(parsed.blocks[0].fields[1].name, "x");
  parsed = Parse("ID=1\n##[A][0][0][8][B][1][8][64]##\n");
  ASSERT_TRUE(parsed.ok);
  EXPECT_EQ(parsed.blocks[0].fields[1].name, "");
}

TEST(ScriptParser, FieldListContinuesAfterSemicolonSkippingCommentsAndEmptyLines) {
  const Parsed parsed = Parse(
      "ID=0x21\nEM=0\nname=Panel\nOFFSET=16\n"
      "##[Standby][0][0][1] [Delay][0][8][8];\r\n"
      "// note\n\n"
      "[Mode][2][16][4][0][15][1]##\n"
      "[Ignored][0][0][1]##\n"
      "ID=0x22\n");
  ASSERT_TRUE(parsed.ok);
  ASSERT_EQ(parsed.blocks.size(), 2u);
  const auto& fields = parsed.blocks[0].fields;
  ASSERT_EQ(fields.size(), 3u);
  EXPECT_EQ(fields[0].name, "Standby");
  EXPECT_EQ(fields[1].name, "Delay");
  EXPECT_EQ(fields[1].bit_offset, 8u);
  EXPECT_EQ(fields[2].name, "Mode");
  EXPECT_EQ(fields[2].type, kListField);
  EXPECT_EQ(fields[2].list_start, 0u);
  EXPECT_EQ(fields[2].list_end, 15u);
  EXPECT_EQ(fields[2].list_step, 1u);
  EXPECT_TRUE(parsed.blocks[1].fields.empty());
}

TEST(ScriptParser, FieldsMayStartOnTheLineAfterTheOpeningMarks) {
  const Parsed parsed = Parse("ID=1\n##\n[A][0][0][8]##\n");
  ASSERT_TRUE(parsed.ok);
  ASSERT_EQ(parsed.blocks[0].fields.size(), 1u);
  EXPECT_EQ(parsed.blocks[0].fields[0].name, "A");
}

TEST(ScriptParser, MarksWhereANameIsExpectedCloseTheList) {
  Parsed parsed = Parse("ID=1\n##[A][0][0][8] ##\n[B][0][0][8]##\n");
  ASSERT_TRUE(parsed.ok);
  EXPECT_EQ(parsed.blocks[0].fields.size(), 1u);  // the B line comes after the close
  parsed = Parse("ID=1\n####\n");
  ASSERT_TRUE(parsed.ok);
  EXPECT_TRUE(parsed.blocks[0].fields.empty());
}

TEST(ScriptParser, LinesOutsideAnOpenListAreIgnored) {
  const Parsed parsed = Parse("random text\nID=1\n[A][0][0][8]##\nmore\n");
  ASSERT_TRUE(parsed.ok);
  EXPECT_TRUE(parsed.blocks[0].fields.empty());
}

TEST(ScriptParser, NamesAreCutAndDescriptionsKeptAsWritten) {
  const Parsed parsed = Parse(
      "ID=1\nEM=3\n##[ABCDEFGHIJKLMNOPQRSTUVWXYZ][0][0][8][Shows\\nthe mode] "
      "[B][2][8][2][0][3][1][]##\n");
  ASSERT_TRUE(parsed.ok);
  const auto& fields = parsed.blocks[0].fields;
  ASSERT_EQ(fields.size(), 2u);
  EXPECT_EQ(fields[0].name, "ABCDEFGHIJKLMNOPQRS");
  EXPECT_EQ(fields[0].description, "Shows\\nthe mode");  // backslash and n kept as written
  EXPECT_EQ(fields[1].name, "B");
  EXPECT_EQ(fields[1].list_end, 3u);
  EXPECT_EQ(fields[1].description, "");
}

TEST(ScriptParser, HundredFieldsPassAndTheNextIsRefused) {
  std::string script = "ID=1\n##\n";
  for (int i = 0; i < 99; ++i)
    script += "[F" + std::to_string(i) + "][0][" + std::to_string(i) + "][1];\n";
  EXPECT_EQ(Parse(script + "[Last][0][0][1]##\n").blocks[0].fields.size(), 100u);
  EXPECT_EQ(Refusal(script + "[Last][0][0][1];\n[Extra][0][0][1]##\n"), "Too many dynamic fields!");
}

TEST(ScriptParser, MissingItemsOfAField) {
  EXPECT_EQ(Refusal("ID=1\n##[A]\n"), "Field type data error!");
  // "##" where the type belongs is an item like any other: the offset is missing.
  EXPECT_EQ(Refusal("ID=1\n##[A]##\n"), "Field offset data error!");
  EXPECT_EQ(Refusal("ID=1\n##[A][0]"), "Field offset data error!");
  EXPECT_EQ(Refusal("ID=1\n##[A][0][0]\n"), "Field length data error!");
  EXPECT_EQ(Refusal("ID=1\nEM=3\n##[A][0][0][8]\n"), "Field desc data error!");
  // The EM must come before the list for the description to be expected.
  EXPECT_TRUE(Parse("ID=1\n##[A][0][0][8]##\nEM=3\n").ok);
}

TEST(ScriptParser, ListFieldsNeedAWholeFiniteRange) {
  EXPECT_THAT(Refusal("ID=1\n##[M][2][0][4][0][15]\n"),
              ::testing::StartsWith("Field list data error! A list field needs"));
  const char* bad[] = {"##[M][2][0][4][0][15][0]##", "##[M][2][0][4][9][3][1]##",
                       "##[M][2][0][32][0][4294967295][1]##"};
  for (const char* line : bad)
    EXPECT_THAT(Refusal(std::string("ID=1\n") + line + "\n"),
                ::testing::StartsWith("Field list data error! The step must not be 0"))
        << line;
  const Parsed parsed = Parse("ID=1\n##[M][2][0][16][0][65535][1]##\n");
  ASSERT_TRUE(parsed.ok);
  EXPECT_EQ(ListItems(parsed.blocks[0].fields[0]).size(), kMaxListItems);
}

TEST(ScriptParser, ListItemsStepUpToTheEnd) {
  ScriptField field;
  field.type = kListField;
  field.list_start = 0;
  field.list_end = 15;
  field.list_step = 5;
  EXPECT_THAT(ListItems(field), ElementsAre(0u, 5u, 10u, 15u));
  field.list_start = 0xFFFFFFF0;
  field.list_end = 0xFFFFFFFF;
  field.list_step = 8;
  EXPECT_THAT(ListItems(field), ElementsAre(0xFFFFFFF0u, 0xFFFFFFF8u));  // no wrap past 2^32
  field.list_step = 0;
  EXPECT_TRUE(ListItems(field).empty());
}

TEST(ScriptParser, UnwrittenShapesAreRefused) {
  for (const char* script :
       {"EM=1\nID=1\n", "name=x\nID=1\n", "OFFSET=1\nID=1\n", "##[A][0][0][8]##\nID=1\n"})
    EXPECT_EQ(Refusal(script), "Error line! Block data before the first ID line.") << script;
  EXPECT_EQ(Refusal("ID=1\n##[A][0][0][8]##\n##[B][0][0][8]##\n"),
            "Error line! A block has only one field list.");
  EXPECT_THAT(Refusal("ID=1\n##[A][0][0][8]\n"), ::testing::StartsWith("Field end data error!"));
  EXPECT_EQ(Refusal("ID=1\n##[A][0][0][8]; \n"), "Field type data error!");
}

TEST(ScriptParser, AnOpenListMayBeOpenedAgainOnItsNextLine) {
  const Parsed parsed = Parse("ID=1\n##[A][0][0][8];\n##[B][0][8][8]##\n");
  ASSERT_TRUE(parsed.ok);
  EXPECT_EQ(parsed.blocks[0].fields.size(), 2u);
}

TEST(ScriptParser, ScriptWithoutBlocks) {
  EXPECT_EQ(Refusal("// only\n// comments\n"), "Script file has no valid block information!");
  EXPECT_EQ(Refusal(""), "Script file has no valid block information!");
}

TEST(ScriptParser, OverlongLineEndsTheReadingButItsStartCounts) {
  const std::string name = "name=" + std::string(994, 'n');  // 999 characters
  Parsed parsed = Parse("ID=1\n" + name + "\nID=2\n");
  ASSERT_TRUE(parsed.ok);
  EXPECT_EQ(parsed.blocks.size(), 2u);

  parsed = Parse("ID=1\n" + name + "XYZ\nID=2\n");
  ASSERT_TRUE(parsed.ok);
  EXPECT_EQ(parsed.blocks.size(), 1u);  // nothing after the long line is read
  EXPECT_EQ(parsed.blocks[0].name, std::string(19, 'n'));

  // The first 999 characters of a long "ID" line still make a block.
  parsed = Parse("ID=9" + std::string(1200, ' ') + "\nID=2\n");
  ASSERT_TRUE(parsed.ok);
  ASSERT_EQ(parsed.blocks.size(), 1u);
  EXPECT_EQ(parsed.blocks[0].block_id, 9);
}

TEST(ParseLegacyScript, ReadsTheFileAtTheScriptPathIntoTheList) {
  testing::TempFolder folder;
  image::FlashImage image;
  image.flash_size = k2M;
  image.script_path = folder.Write("V1.0", "FLASH=2M\nID=1\nEM=1\nname=kernel\nID=0\nname=cfg\n");

  LegacyBlockList list;
  RecordedMessages messages;
  const uint64_t before = list.generation();
  const ScriptParseResult result = ParseLegacyScript(image, list, messages);
  EXPECT_TRUE(result.open_customer_config());
  EXPECT_TRUE(messages.shown().empty());
  ASSERT_EQ(list.count(), 2u);
  EXPECT_NE(list.generation(), before);
  EXPECT_EQ(FirstScriptBlock(list)->name, "kernel");

  // A handle into this list names nothing once a later parse fails.
  const BlockHandle handle = list.Handle(1);
  ASSERT_NE(list.Find(handle), nullptr);
  image.script_path = folder.Write("V1.0", "// nothing\n");
  EXPECT_EQ(ParseLegacyScript(image, list, messages).status, ScriptParseStatus::kScriptError);
  EXPECT_EQ(list.count(), 0u);
  EXPECT_EQ(list.Find(handle), nullptr);
  EXPECT_THAT(messages.texts(), ElementsAre("Script file has no valid block information!"));
}

TEST(ParseLegacyScript, MissingScript) {
  image::FlashImage image;
  LegacyBlockList list;
  RecordedMessages messages;
  EXPECT_EQ(ParseLegacyScript(image, list, messages).status, ScriptParseStatus::kCannotOpen);
  image.script_path = "/nonexistent/folder/V1.0";
  EXPECT_EQ(ParseLegacyScript(image, list, messages).status, ScriptParseStatus::kCannotOpen);
  // An image without a software version leaves only its folder as the path.
  testing::TempFolder folder;
  image.script_path = folder.path().string() + "/";
  EXPECT_EQ(ParseLegacyScript(image, list, messages).status, ScriptParseStatus::kCannotOpen);
  const std::string cannot_open =
      "Please put the correct script file in the same directory as the flash binary!";
  EXPECT_THAT(messages.texts(),
              ElementsAre("Please select script file!", cannot_open, cannot_open));
}

TEST(LegacyBlockList, FreeingStartsANewGenerationAndFirstNodesFollow) {
  LegacyBlockList list;
  EXPECT_EQ(FirstScriptBlock(list), nullptr);
  EXPECT_EQ(FirstScriptField(static_cast<ScriptBlock*>(nullptr)), nullptr);
  std::vector<ScriptBlock> blocks(2);
  blocks[1].fields.resize(3);
  blocks[1].fields[0].name = "first";
  blocks[1].control_id = 20200;
  list.Assign(std::move(blocks));
  EXPECT_EQ(FirstScriptBlock(list), &list.blocks()[0]);
  EXPECT_EQ(FirstScriptField(&list.blocks()[0]), nullptr);
  EXPECT_EQ(FirstScriptField(&list.blocks()[1])->name, "first");
  EXPECT_EQ(list.FindByControlId(20200), 1u);
  EXPECT_FALSE(list.FindByControlId(20201));

  const BlockHandle handle = list.Handle(1);
  EXPECT_EQ(list.Find(handle), &list.blocks()[1]);
  EXPECT_EQ(list.Find(list.Handle(2)), nullptr);
  FreeScriptBlocks(list);
  EXPECT_EQ(list.count(), 0u);
  EXPECT_EQ(list.Find(handle), nullptr);
  // A list replaced by one of the same size still refuses the old handle.
  list.Assign(std::vector<ScriptBlock>(2));
  EXPECT_EQ(list.Find(handle), nullptr);
  EXPECT_NE(list.Find(list.Handle(1)), nullptr);
}

}  // namespace
}  // namespace nuv::legacy
