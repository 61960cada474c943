#include "toolcfg/block_lookup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_blocks.h"

namespace nuv::toolcfg {
namespace {

using testing::OwnBlockRecord;
using Texts = std::vector<std::string>;

TEST(FindBlockByName, ComparesExactlyTheGivenLengthAndShowsAMissUpToAZeroByte) {
  image::BlockTable table{{OwnBlockRecord(0x10, "toolcfg", {}),
                           OwnBlockRecord(0x11, "presetXY", {}),
                           OwnBlockRecord(0x12, "preset", {})}};
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
  EXPECT_EQ(FindBlockByName(table, "pre", 4, messages), nullptr);  // "pre\0" is no name here
  EXPECT_EQ(FindBlockByName(table, std::string("xy\0z", 4), 4, messages), nullptr);
  EXPECT_EQ(FindBlockByName(image::BlockTable{}, "preset", 6, messages), nullptr);
  EXPECT_EQ(messages.shown(),
            (std::vector<std::pair<BoxCaption, std::string>>{
                {BoxCaption::Application, "ERROR!! can not find block[pre]in dmh!"},
                {BoxCaption::Application, "ERROR!! can not find block[xy]in dmh!"},
                {BoxCaption::Application, "ERROR!! can not find block[preset]in dmh!"}}));
}

TEST(FindBlockById, TheLowerIndexWinsAndTheRecordCanBeChanged) {
  image::BlockTable table{{OwnBlockRecord(0x05, "a", {}), OwnBlockRecord(0xA4, "b", {1, 2}),
                           OwnBlockRecord(0xA4, "c", {})}};
  RecordedMessages messages;
  image::BlockRecord* found = FindBlockById(table, 0xA4, messages);
  ASSERT_EQ(found, &table.records[1]);
  found->data.mutable_bytes()[0] = 9;
  EXPECT_EQ(table.records[1].data.bytes()[0], 9);
  const image::BlockTable& view = table;
  EXPECT_EQ(FindBlockById(view, 0x05, messages), &view.records[0]);
  EXPECT_TRUE(messages.shown().empty());
  EXPECT_EQ(FindBlockById(table, 0x0A, messages), nullptr);
  EXPECT_EQ(FindBlockById(image::BlockTable{}, 0, messages), nullptr);
  EXPECT_EQ(messages.texts(), (Texts{"ERROR!! can not find block id[0xa]in dmh!",
                                     "ERROR!! can not find block id[0x0]in dmh!"}));
}

TEST(FindBlockByNameAndId, BothMustHoldForTheSameRecord) {
  image::BlockTable table{{OwnBlockRecord(0x20, "audio", {}), OwnBlockRecord(0x21, "video", {}),
                           OwnBlockRecord(0x1F, "audio", {})}};
  RecordedMessages messages;
  EXPECT_EQ(FindBlockByNameAndId(table, "audio", 5, 0x1F, messages), &table.records[2]);
  EXPECT_TRUE(messages.shown().empty());
  EXPECT_EQ(FindBlockByNameAndId(table, "audio", 5, 0x21, messages), nullptr);
  EXPECT_EQ(FindBlockByNameAndId(image::BlockTable{}, "", 0, 0xFF, messages), nullptr);
  EXPECT_EQ(messages.texts(), (Texts{"ERROR!! can not find block [audio] id[0x21]in dmh!",
                                     "ERROR!! can not find block [] id[0xff]in dmh!"}));
}

}  // namespace
}  // namespace nuv::toolcfg
