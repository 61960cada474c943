#include <gtest/gtest.h>

#include "image/grid_row.h"
#include "image_builder.h"

namespace nuv::image {
namespace {

// The entry as it lies in an image, made by the builder.
BlockEntry EntryOf(const samples::BlockPlan& block) {
  samples::LegacyPlan plan;
  plan.blocks = {block};
  const std::vector<uint8_t> image = samples::BuildLegacyImage(plan).bytes;
  return BlockEntry(std::span<const uint8_t>(image).subspan(0x1000 + 12).first<kBlockEntrySize>());
}

TEST(GridRow, FormatsTheSixColumnsAsTheFormShowsThem) {
  samples::BlockPlan block;
  block.id = 0x0A;
  block.data = samples::PatternBytes(0x1F00, 1);
  block.crc = 0x00ABCDEF;
  block.version = 0x102;
  block.name = "kernel";
  block.time = "201305061230";
  block.offset = 0x2000;
  const GridRow row = MakeGridRow(EntryOf(block));
  EXPECT_EQ(row.cells[kColumnId], "0A");
  EXPECT_EQ(row.cells[kColumnSize], "    1F00");
  EXPECT_EQ(row.cells[kColumnCrc], "00ABCDEF");
  EXPECT_EQ(row.cells[kColumnName], "kernel");
  EXPECT_EQ(row.cells[kColumnVersion], "00000102");
  EXPECT_EQ(row.cells[kColumnTime], "201305061230");
}

TEST(GridRow, FullWidthFieldsStopAtTheirWidthAndWideNumbersShowWhole) {
  samples::BlockPlan block;
  block.id = 0xFF;
  block.size = 0xFFFFFFFF;
  block.crc = 0;
  block.name = "ABCDEFGH";  // no terminator: the time follows directly
  block.time = "123456789012";
  block.offset = 0;
  const GridRow row = MakeGridRow(EntryOf(block));
  EXPECT_EQ(row.cells[kColumnId], "FF");
  EXPECT_EQ(row.cells[kColumnSize], "FFFFFFFF");
  EXPECT_EQ(row.cells[kColumnCrc], "00000000");
  EXPECT_EQ(row.cells[kColumnName], "ABCDEFGH");
  EXPECT_EQ(row.cells[kColumnTime], "123456789012");
}

TEST(GridRow, TheVersionBlockIsFoundByItsFirstSixNameBytes) {
  samples::BlockPlan block;
  block.offset = 0;
  for (const char* name : {"ssdata", "ssdataXY", "ssdata1"}) {
    block.name = name;
    EXPECT_TRUE(IsSoftwareVersionBlock(EntryOf(block))) << name;
  }
  for (const char* name : {"ssdat", "SSDATA", "xssdata", ""}) {
    block.name = name;
    EXPECT_FALSE(IsSoftwareVersionBlock(EntryOf(block))) << name;
  }
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
