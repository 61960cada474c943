// The legacy header. Random damage to it is the legacy_header fuzz target's;
// each refusal as the user sees it is main_preparse_refused's.
#include <gtest/gtest.h>

#include <functional>

#include "common/bytes.h"
#include "image/legacy_header.h"
#include "image_builder.h"
#include "support/messages.h"

namespace nuv::image {
namespace {

using samples::BlockPlan;
using samples::LegacyPlan;

BlockPlan Block(uint8_t id, uint32_t offset, size_t size, uint8_t tail = 0) {
  return {.id = id,
          .name = "b" + std::to_string(id),
          .data = samples::PatternBytes(size, id),
          .tail_flag = tail,
          .offset = offset};
}

std::optional<LegacyHeader> Read(const std::vector<uint8_t>& image,
                                 std::vector<std::string>* shown = nullptr) {
  RecordedMessages messages;
  std::optional<LegacyHeader> header = ReadLegacyHeader(image, messages);
  if (shown)
    *shown = messages.texts();
  return header;
}

TEST(LegacyHeader, ReadsSizesFromSingleBytesAndCopiesTheEntries) {
  LegacyPlan plan;  // 1 MiB
  plan.sdram_size = 0x00AB00CD;
  plan.config = samples::PatternBytes(64, 3);
  plan.blocks = {Block(0x10, 0x2000, 100), Block(0x11, 0x3000, 50),
                 Block(0x7F, 0xF0000, 0x10000, 1)};
  std::vector<uint8_t> image = samples::BuildLegacyImage(plan).bytes;
  std::vector<std::string> shown;
  std::optional<LegacyHeader> header = Read(image, &shown);
  ASSERT_TRUE(header);
  EXPECT_TRUE(shown.empty());
  EXPECT_EQ(header->dmh_offset, plan.dmh_offset);
  EXPECT_EQ(header->config_length, 64u);
  EXPECT_EQ(header->sdram_size, 0xAB * 65536u + 0xCD);
  EXPECT_EQ(header->flash_size, 1048576u);
  ASSERT_EQ(header->entries.size(), 3u);
  EXPECT_EQ(header->entries[2].block_id(), 0x7F);
  EXPECT_EQ(header->entries[2].tail_flag(), 1);
  EXPECT_EQ(header->entries[2].offset(), 0xF0000u);
  EXPECT_EQ(header->entries[1].size(), 50u);

  // Only bytes 2 and 6 hold the high parts: 1, 3, 5 and 7 are noise.
  for (size_t noise : {1, 3, 5, 7})
    image[0x1000 + noise] = 0x99;
  image[0x1000 + 2] = 0;
  header = Read(image);
  ASSERT_TRUE(header);
  EXPECT_EQ(header->flash_size, 0x100000u);
  EXPECT_EQ(header->sdram_size, 0xCDu);
}

// Each change of a good 1 MiB image with one block, and the message it
// gets; an empty message: still read.
TEST(LegacyHeader, RefusesWhatDoesNotFitTheImageAndAcceptsTheLastThatDoes) {
  const std::string bad = "Wrong bin file!",
                    header_end = "Wrong bin file, header beyond the image end!",
                    entries_end = "Wrong bin file, block entries beyond the image end!",
                    data_end = "Wrong bin file, data of block 3C beyond the image end!";
  const auto data = [](uint32_t offset, uint32_t size) {
    return [=](LegacyPlan& plan) {
      plan.blocks[0] = Block(0x3C, offset, 0);
      plan.blocks[0].size = size;
    };
  };
  const std::pair<std::function<void(LegacyPlan&)>, std::string> cases[] = {
      {[](LegacyPlan& p) { p.dmh_offset = 0x100001; }, bad},
      {[](LegacyPlan& p) { p.dmh_offset = 0x100000; }, header_end},
      {[](LegacyPlan& p) { p.dmh_offset = 0x100000 - 11; }, header_end},
      {[](LegacyPlan& p) { p.dmh_offset = 0x100000 - 12 - 47; },
       entries_end},  // the builder cuts it
      {[](LegacyPlan& p) { p.dmh_offset = 0x100000 - 12 - 48; }, ""},
      {[](LegacyPlan& p) { p.config_length = 0x100001; }, bad},
      {[](LegacyPlan& p) { p.config_length = 0x100000; }, ""},
      {[](LegacyPlan& p) { p.flash_size = 0x200000; }, bad},
      {[](LegacyPlan& p) { p.blocks.assign(65, Block(1, 0x8000, 4)); }, "Too many blocks!"},
      {[](LegacyPlan& p) { p.blocks.assign(64, Block(1, 0x8000, 4)); }, ""},
      {data(0xFFFF0, 0x10), ""},
      {data(0xFFFF0, 0x11), data_end},
      {data(0xFFFFFFF0, 0x20), data_end},  // offset + size wraps in u32
      {data(0xFFFFFFFF, 0), ""},
  };
  for (const auto& [change, message] : cases) {
    LegacyPlan plan;
    plan.blocks = {Block(1, 0x8000, 4)};
    change(plan);
    std::vector<std::string> shown;
    EXPECT_EQ(Read(samples::BuildLegacyImage(plan).bytes, &shown).has_value(), message.empty())
        << message;
    EXPECT_EQ(shown, message.empty() ? std::vector<std::string>{} : std::vector{message});
  }
  // Too short for the fixed words.
  for (size_t length : {0, 35}) {
    std::vector<std::string> shown;
    EXPECT_FALSE(Read(std::vector<uint8_t>(length, 0), &shown));
    EXPECT_EQ(shown, std::vector{bad});
  }
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
  EXPECT_EQ(common::WriteU32(image, kLegacyConfigOffsetPos, 0x100000 - 31),
            common::BoundedWrite::kWritten);
  EXPECT_FALSE(LegacyConfigRegion(image, 32));
  EXPECT_EQ(LegacyConfigRegion(image, 31)->size(), 31u);
  EXPECT_EQ(common::WriteU32(image, kLegacyConfigOffsetPos, 0xFFFFFFFF),
            common::BoundedWrite::kWritten);
  EXPECT_FALSE(LegacyConfigRegion(image, 2));
  EXPECT_FALSE(LegacyConfigRegion(std::vector<uint8_t>(20, 0), 0));
}

}  // namespace
}  // namespace nuv::image
