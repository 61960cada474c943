// Grid rows of typical entries are in the Pre-Parse UI scripts and in the
// info command's output; here the widest values, the padding of the
// numbers and the version block.
#include <gtest/gtest.h>

#include "image/grid_row.h"
#include "image_builder.h"

namespace nuv::image {
namespace {

// The entry as it lies in an image, made by the builder.
BlockEntry EntryOf(samples::BlockPlan block) {
  samples::LegacyPlan plan;
  block.offset = 0;
  plan.blocks = {block};
  const std::vector<uint8_t> image = samples::BuildLegacyImage(plan).bytes;
  return BlockEntry(std::span<const uint8_t>(image).subspan(0x1000 + 12).first<kBlockEntrySize>());
}

// An entry's cells: each number padded to its column's width, each field
// stopping at its own; with no terminator after the name, the time follows
// directly.
TEST(GridRow, EntriesCellsArePaddedToTheirColumnsAndStopAtTheirFieldsWidth) {
  const struct {
    samples::BlockPlan block;
    GridCellTexts texts;
  } cases[] = {
      {{.id = 0x0B,
        .name = "n",
        .data = {1, 2, 3},
        .version = 0x20,
        .time = "t",
        .crc = 0x1234ABCD},
       {"0B", "       3", "1234ABCD", "n", "00000020", "t"}},
      {{.crc = 0}, {"00", "       0", "00000000", "", "00000000", ""}},
      {{.id = 0xFF,
        .name = "ABCDEFGH",
        .data = {1},
        .version = 0x80000001,
        .time = "123456789012",
        .crc = 0xFFFFFFFF},
       {"FF", "       1", "FFFFFFFF", "ABCDEFGH", "80000001", "123456789012"}},
      {{.id = 0xFF, .version = 0xFFFFFFFF, .crc = 0xFFFFFFFF, .size = 0xFFFFFFFF},
       {"FF", "FFFFFFFF", "FFFFFFFF", "", "FFFFFFFF", ""}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FormatGridRow(MakeGridRow(EntryOf(c.block))), c.texts)
        << ::testing::PrintToString(c.texts);
}

TEST(GridRow, TheVersionBlockIsFoundByItsFirstSixNameBytes) {
  for (const char* name : {"ssdata", "ssdataXY", "ssdata1"})
    EXPECT_TRUE(IsSoftwareVersionBlock(EntryOf({.name = name}))) << name;
  for (const char* name : {"ssdat", "SSDATA", "xssdata", ""})
    EXPECT_FALSE(IsSoftwareVersionBlock(EntryOf({.name = name}))) << name;
}

TEST(SoftwareVersionAt, ReadsUpToSixteenBytesAndNeverPastTheImage) {
  std::vector<uint8_t> image = samples::TextBytes("xxV1.2");
  image.push_back(0);
  image.insert(image.end(), 20, 'z');
  EXPECT_EQ(SoftwareVersionAt(image, 2), "V1.2");
  const std::vector<uint8_t> full = samples::TextBytes("0123456789ABCDEFGHIJ");
  EXPECT_EQ(SoftwareVersionAt(full, 0), "0123456789ABCDEF");
  EXPECT_EQ(SoftwareVersionAt(full, 10), "ABCDEFGHIJ") << "cut at the image end";
  EXPECT_EQ(SoftwareVersionAt(full, 20), "");
  EXPECT_EQ(SoftwareVersionAt(full, 0xFFFFFFFFFFull), "");
}

}  // namespace
}  // namespace nuv::image
