#include "toolcfg/block_lookup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_blocks.h"

namespace nuv::toolcfg {
namespace {

using testing::MakeRecord;

image::BlockTable Table(std::vector<image::BlockRecord> records) {
  image::BlockTable table;
  table.records = std::move(records);
  return table;
}

TEST(FindBlockByName, ComparesExactlyTheGivenLength) {
  image::BlockTable table = Table(
      {MakeRecord(0x10, "toolcfg"), MakeRecord(0x11, "presetXY"), MakeRecord(0x12, "preset")});
  RecordedMessages messages;
  // "preset" with length 6 is a prefix match: the 8-character name comes first.
  EXPECT_EQ(FindBlockByName(table, "preset", 6, messages), &table.records[1]);
  // Length 8 compares the zero bytes behind "preset" too.
  EXPECT_EQ(FindBlockByName(table, "preset", 8, messages), &table.records[2]);
  EXPECT_EQ(FindBlockByName(table, std::string("preset\0\0", 8), 8, messages), &table.records[2]);
  // Length 0 matches the first record; a longer length never reads past the 8 name bytes.
  EXPECT_EQ(FindBlockByName(table, "anything", 0, messages), &table.records[0]);
  EXPECT_EQ(FindBlockByName(table, "presetXYZZY", 200, messages), &table.records[1]);
  EXPECT_TRUE(messages.shown().empty());
}

TEST(FindBlockByName, AMissShowsTheNameUpToItsFirstZeroByte) {
  image::BlockTable table = Table({MakeRecord(0x10, "abcd")});
  RecordedMessages messages;
  EXPECT_EQ(FindBlockByName(table, "ab", 4, messages), nullptr);  // "ab\0\0" is not "abcd"
  EXPECT_EQ(FindBlockByName(table, std::string("xy\0z", 4), 4, messages), nullptr);
  ASSERT_EQ(messages.shown().size(), 2u);
  EXPECT_EQ(messages.shown()[0],
            std::make_pair(BoxCaption::Application,
                           std::string("ERROR!! can not find block[ab]in dmh!")));
  EXPECT_EQ(messages.texts()[1], "ERROR!! can not find block[xy]in dmh!");
}

TEST(FindBlockById, TheLowerIndexWinsAndTheRecordCanBeChanged) {
  image::BlockTable table =
      Table({MakeRecord(0x05, "a"), MakeRecord(0xA4, "b", {1, 2}), MakeRecord(0xA4, "c")});
  RecordedMessages messages;
  image::BlockRecord* found = FindBlockById(table, 0xA4, messages);
  ASSERT_EQ(found, &table.records[1]);
  found->data.mutable_bytes()[0] = 9;
  EXPECT_EQ(table.records[1].data.bytes()[0], 9);
  const image::BlockTable& view = table;
  EXPECT_EQ(FindBlockById(view, 0x05, messages), &view.records[0]);
  EXPECT_TRUE(messages.shown().empty());
  EXPECT_EQ(FindBlockById(table, 0x0A, messages), nullptr);
  EXPECT_EQ(messages.texts(),
            std::vector<std::string>{"ERROR!! can not find block id[0xa]in dmh!"});
}

TEST(FindBlockByNameAndId, BothMustHoldForTheSameRecord) {
  image::BlockTable table =
      Table({MakeRecord(0x20, "audio"), MakeRecord(0x21, "video"), MakeRecord(0x1F, "audio")});
  RecordedMessages messages;
  EXPECT_EQ(FindBlockByNameAndId(table, "audio", 5, 0x1F, messages), &table.records[2]);
  EXPECT_TRUE(messages.shown().empty());
  EXPECT_EQ(FindBlockByNameAndId(table, "audio", 5, 0x21, messages), nullptr);
  EXPECT_EQ(messages.texts(),
            std::vector<std::string>{"ERROR!! can not find block [audio] id[0x21]in dmh!"});
}

TEST(BlockLookups, AnEmptyTableMissesAtOnce) {
  const image::BlockTable table;
  RecordedMessages messages;
  EXPECT_EQ(FindBlockByName(table, "preset", 6, messages), nullptr);
  EXPECT_EQ(FindBlockById(table, 0, messages), nullptr);
  EXPECT_EQ(FindBlockByNameAndId(table, "", 0, 0xFF, messages), nullptr);
  EXPECT_EQ(messages.texts(),
            (std::vector<std::string>{"ERROR!! can not find block[preset]in dmh!",
                                      "ERROR!! can not find block id[0x0]in dmh!",
                                      "ERROR!! can not find block [] id[0xff]in dmh!"}));
}

}  // namespace
}  // namespace nuv::toolcfg
