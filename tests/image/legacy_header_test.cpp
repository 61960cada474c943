#include <gtest/gtest.h>

#include "image/bytes.h"
#include "image/legacy_header.h"
#include "image_builder.h"
#include "support/messages.h"

namespace nuv::image {
namespace {

using samples::BlockPlan;
using samples::LegacyPlan;

BlockPlan Block(uint8_t id, uint32_t offset, size_t size, uint8_t tail = 0) {
  BlockPlan block;
  block.id = id;
  block.name = "b" + std::to_string(id);
  block.data = samples::PatternBytes(size, id);
  block.offset = offset;
  block.tail_flag = tail;
  return block;
}

struct Read {
  std::optional<LegacyHeader> header;
  std::vector<std::string> messages;
};

Read ReadFrom(const std::vector<uint8_t>& image) {
  RecordedMessages messages;
  std::optional<LegacyHeader> header = ReadLegacyHeader(image, messages);
  return {std::move(header), messages.texts()};
}

Read ReadFrom(const LegacyPlan& plan) {
  return ReadFrom(samples::BuildLegacyImage(plan).bytes);
}

std::vector<std::string> Only(std::string text) {
  return {std::move(text)};
}

TEST(LegacyHeader, ReadsSizesFromSingleBytesAndCopiesTheEntries) {
  LegacyPlan plan;  // 1 MiB
  plan.sdram_size = 0x00AB00CD;
  plan.config = samples::PatternBytes(64, 3);
  plan.blocks = {Block(0x10, 0x2000, 100), Block(0x11, 0x3000, 50),
                 Block(0x7F, 0xF0000, 0x10000, 1)};
  const Read read = ReadFrom(plan);
  ASSERT_TRUE(read.header) << (read.messages.empty() ? "" : read.messages[0]);
  EXPECT_TRUE(read.messages.empty());
  EXPECT_EQ(read.header->dmh_offset, plan.dmh_offset);
  EXPECT_EQ(read.header->config_length, 64u);
  EXPECT_EQ(read.header->sdram_size, 0xAB * 65536u + 0xCD);
  EXPECT_EQ(read.header->flash_size, 1048576u);
  ASSERT_EQ(read.header->entries.size(), 3u);
  EXPECT_EQ(read.header->entries[2].block_id(), 0x7F);
  EXPECT_EQ(read.header->entries[2].tail_flag(), 1);
  EXPECT_EQ(read.header->entries[2].offset(), 0xF0000u);
  EXPECT_EQ(read.header->entries[1].size(), 50u);
}

TEST(LegacyHeader, OnlyBytesTwoAndSixHoldTheHighParts) {
  // 0x10 at header byte 6 and 0x00 at byte 4: 1 MiB. Bytes 1, 3, 5, 7 are noise.
  std::vector<uint8_t> image = samples::BuildLegacyImage(LegacyPlan{}).bytes;
  const size_t header = 0x1000;
  image[header + 4] = 0x00;
  image[header + 5] = 0x77;
  image[header + 6] = 0x10;
  image[header + 7] = 0x55;
  image[header + 1] = 0x99;
  image[header + 3] = 0x88;
  const Read read = ReadFrom(image);
  ASSERT_TRUE(read.header);
  EXPECT_EQ(read.header->flash_size, 0x100000u);
  EXPECT_EQ(read.header->sdram_size, 0u);
}

TEST(LegacyHeader, RefusesWhatTheTableNames) {
  LegacyPlan plan;
  plan.dmh_offset = 0x100001;
  EXPECT_EQ(ReadFrom(plan).messages, Only("Wrong bin file!")) << "dmh_offset beyond the image";

  plan = LegacyPlan{};
  plan.config_length = 0x100001;
  EXPECT_EQ(ReadFrom(plan).messages, Only("Wrong bin file!")) << "config_length beyond the image";
  plan.config_length = 0x100000;
  EXPECT_TRUE(ReadFrom(plan).header);

  plan = LegacyPlan{};
  plan.flash_size = 0x200000;
  EXPECT_EQ(ReadFrom(plan).messages, Only("Wrong bin file!")) << "flash size is not the length";

  plan = LegacyPlan{};
  plan.blocks.assign(65, Block(1, 0x8000, 4));
  EXPECT_EQ(ReadFrom(plan).messages, Only("Too many blocks!"));
  plan.blocks.pop_back();
  EXPECT_EQ(ReadFrom(plan).header->entries.size(), 64u);
}

TEST(LegacyHeader, AHeaderOrEntriesPastTheEndAreRefused) {
  LegacyPlan plan;
  plan.dmh_offset = 0x100000;  // allowed by the offset test, but nothing is there
  EXPECT_EQ(ReadFrom(plan).messages, Only("Wrong bin file, header beyond the image end!"));
  plan.dmh_offset = 0x100000 - 11;
  EXPECT_EQ(ReadFrom(plan).messages, Only("Wrong bin file, header beyond the image end!"));

  // Twelve header bytes fit, the one entry does not: the builder cuts it.
  plan.dmh_offset = 0x100000 - 12 - 47;
  plan.blocks = {Block(1, 0x8000, 4)};
  EXPECT_EQ(ReadFrom(plan).messages, Only("Wrong bin file, block entries beyond the image end!"));
  plan.dmh_offset = 0x100000 - 12 - 48;
  EXPECT_TRUE(ReadFrom(plan).header);
}

TEST(LegacyHeader, BlockDataOutsideTheImageIsRefused) {
  struct Case {
    uint32_t offset, size;
    bool ok;
  };
  const Case cases[] = {{0xFFFF0, 0x10, true},
                        {0xFFFF0, 0x11, false},
                        {0xFFFFFFF0, 0x20, false},
                        {0xFFFFFFFF, 0, true}};
  for (const Case& c : cases) {
    LegacyPlan plan;
    BlockPlan block = Block(0x3C, c.offset, 0);
    block.size = c.size;
    plan.blocks = {Block(1, 0x8000, 4), block};
    const Read read = ReadFrom(plan);
    EXPECT_EQ(read.header.has_value(), c.ok) << std::hex << c.offset << " " << c.size;
    if (!c.ok) {
      EXPECT_EQ(read.messages, Only("Wrong bin file, data of block 3C beyond the image end!"));
    }
  }
}

TEST(LegacyHeader, TooShortForTheFixedWordsIsRefused) {
  EXPECT_EQ(ReadFrom(std::vector<uint8_t>(35, 0)).messages, Only("Wrong bin file!"));
  EXPECT_EQ(ReadFrom(std::vector<uint8_t>()).messages, Only("Wrong bin file!"));
}

// Random damage to the fixed words and the header: a header that is read
// has entries whose data lie inside the image; otherwise one message says why.
TEST(LegacyHeader, RandomlyDamagedHeadersAreReadSafelyOrRefused) {
  LegacyPlan plan;
  plan.length = 0x80000;
  plan.dmh_offset = 0x7FF00;
  plan.blocks = {Block(1, 0x1000, 10), Block(2, 0x7FF80, 0x80), Block(3, 0x2000, 0)};
  const std::vector<uint8_t> good = samples::BuildLegacyImage(plan).bytes;
  size_t kept = 0, refused = 0;
  for (uint32_t seed = 1; seed <= 400; ++seed) {
    std::vector<uint8_t> image = good;
    const std::vector<uint8_t> noise = samples::PatternBytes(8, seed);
    for (size_t i = 0; i + 1 < noise.size(); i += 2) {
      const size_t at = (noise[i] & 1) ? 8 + noise[i] % 28 : 0x7FF00 + noise[i] % 160;
      image[at] = noise[i + 1];
    }
    const Read read = ReadFrom(image);
    if (read.header) {
      ++kept;
      EXPECT_TRUE(read.messages.empty());
      for (const BlockEntry& entry : read.header->entries)
        EXPECT_TRUE(entry.size() == 0 || InRange(image.size(), entry.offset(), entry.size()));
    } else {
      ++refused;
      EXPECT_EQ(read.messages.size(), 1u) << seed;
    }
  }
  EXPECT_GT(kept, 0u);
  EXPECT_GT(refused, 0u);
}

TEST(LegacyConfigRegion, IsReadAtItsOffsetWordAndMustLieInside) {
  LegacyPlan plan;
  plan.config_offset = 0x200;
  plan.config = samples::PatternBytes(32, 9);
  std::vector<uint8_t> image = samples::BuildLegacyImage(plan).bytes;
  auto region = LegacyConfigRegion(image, 32);
  ASSERT_TRUE(region);
  EXPECT_EQ(region->data(), image.data() + 0x200);
  EXPECT_EQ(region->size(), 32u);

  // The offset word is read each time: a later change moves the region.
  WriteU32(image, kLegacyConfigOffsetPos, 0x100000 - 31);
  EXPECT_FALSE(LegacyConfigRegion(image, 32));
  EXPECT_EQ(LegacyConfigRegion(image, 31)->size(), 31u);
  WriteU32(image, kLegacyConfigOffsetPos, 0xFFFFFFFF);
  EXPECT_FALSE(LegacyConfigRegion(image, 2));
  EXPECT_FALSE(LegacyConfigRegion(std::vector<uint8_t>(20, 0), 0));
}

}  // namespace
}  // namespace nuv::image
