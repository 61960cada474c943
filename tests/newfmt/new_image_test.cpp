// The layout of a new image, on tables built here: expectations are worked
// out in each test from the rules of the image format, not taken from a run.
#include <gtest/gtest.h>

#include <vector>

#include "common/bytes.h"
#include "image/dm_header.h"
#include "image_builder.h"
#include "sample_preset.h"
#include "toolcfg/new_image.h"

namespace nuv::toolcfg {
namespace {

using Bytes = std::vector<uint8_t>;

image::BlockRecord Record(uint8_t id, uint32_t header, uint8_t bank, uint32_t offset, Bytes data,
                          uint32_t crc = 0) {
  image::BlockRecord record = samples::OwnBlockRecord(id, "block", std::move(data));
  record.entry.set_offset(offset);
  record.entry.set_crc(crc);
  record.header_offset = header;
  record.bank = bank;
  return record;
}

// A loaded image of 0xEE bytes with an empty DM header at every position.
Bytes Loaded(size_t length, std::initializer_list<uint32_t> headers) {
  samples::NewFormatPlan plan{.length = length, .fill = 0xEE};
  for (uint32_t h : headers)
    plan.banks.push_back({.header_offset = h});
  return samples::BuildNewFormatImage(plan).bytes;
}

std::optional<Bytes> LayOut(image::BlockTable& table, const Bytes& loaded,
                            RecordedMessages& messages) {
  return LayOutNewImage(table, loaded, static_cast<uint32_t>(loaded.size()), messages);
}

TEST(Layout, NoCrcAlignmentAndTheHeadersOfTwoBanks) {
  const Bytes loaded = Loaded(0x80000, {0, 0x40000});
  image::BlockTable table;
  // 0xA4 at 0x12345 goes to 0x20000.
  table.records.push_back(Record(0x10, 0, 1, 0x100, Bytes(0x300, 1)));
  table.records.push_back(Record(0x11, 0, 1, 0x200, {9, 8, 7}, image::kNoCrc));
  table.records.push_back(Record(0xA4, 0, 1, 0x12345, {5, 5}));
  table.records.push_back(Record(0x20, 0x40000, 2, 0x80, {4, 3, 2, 1}));
  EXPECT_EQ(NextBankOffset(table, 0), 0x40000u);
  EXPECT_EQ(NextBankOffset(table, 2), 0x40000u);
  EXPECT_EQ(NextBankOffset(table, 3), 0u);
  EXPECT_EQ(NextBankOffset(table, 4), 0u);
  RecordedMessages messages;
  const auto out = LayOut(table, loaded, messages);
  ASSERT_TRUE(out.has_value());

  // A grown block pushing the next one up within a bank is the UI scripts'
  // case; here the rest, with bank 2's header rebuilt on its own.
  EXPECT_EQ(table.records[1].entry.crc(), image::kNoCrc);
  EXPECT_EQ(out->at(0x20000), 5);
  EXPECT_EQ(common::ReadU32(*out, 28 + 48 * 2 + 4), 0x20000u);
  EXPECT_EQ(out->at(28 + 48 * 3), 0xEE);  // no fourth entry in bank 1's header
  EXPECT_EQ(out->at(0x40080), 4);
  EXPECT_EQ(out->at(0x40000 + 28), 0x20);
  EXPECT_EQ(common::ReadU32(*out, 0x40000 + 28 + 12), 0x16AE5BF9u);  // zlib's crc32, not inverted
}

TEST(Layout, ABankBehindAGrownOneMovesUpAndKeepsItsHead) {
  const Bytes loaded = Loaded(0x10000, {0, 0x1000, 0x2000});
  image::BlockTable table;
  table.records.push_back(Record(1, 0, 1, 0x100, Bytes(0x10, 1)));
  table.records.push_back(Record(2, 0x1000, 2, 0x100, Bytes(0x1800, 2)));
  table.records.push_back(Record(3, 0x2000, 3, 0x40, {3}));
  RecordedMessages messages;
  const auto out = LayOut(table, loaded, messages);
  ASSERT_TRUE(out.has_value());
  // Bank 2 ends at 0x1000 + 0x100 + 0x1800 = 0x2900: bank 3's header moves
  // there, and its block (pushed behind the grown one) too.
  EXPECT_EQ(table.records[2].header_offset, 0x2900u);
  EXPECT_EQ(table.records[2].entry.offset(), 0x900u);
  EXPECT_EQ(out->at(0x2900 + 0x900), 3);
  EXPECT_TRUE(std::equal(image::kDmMagic.begin(), image::kDmMagic.end(), out->begin() + 0x2900));
}

TEST(Layout, BlocksThatDoNotFitAreRefusedAndNothingIsMade) {
  // A first bank that runs into the second header, one byte too far; a
  // block one byte past the image end.
  image::BlockTable into_next, past_end;
  into_next.records = {Record(1, 0, 1, 0x100, Bytes(0xF01, 1)), Record(2, 0x1000, 2, 0x100, {2})};
  past_end.records = {Record(1, 0, 1, 0x100, Bytes(0xF01, 1))};
  RecordedMessages messages;
  EXPECT_FALSE(LayOut(into_next, Loaded(0x4000, {0, 0x1000}), messages).has_value());
  EXPECT_FALSE(LayOut(past_end, Loaded(0x1000, {0}), messages).has_value());
  EXPECT_EQ(messages.texts(), (std::vector<std::string>{std::string(kBootloaderOutOfRange),
                                                        std::string(kOutOfRange)}));
}

TEST(Layout, AHeaderAtTheVeryEndIsWrittenOnlyAsFarAsTheImageGoes) {
  Bytes out(40, 0);
  const Bytes loaded(40, 7);
  image::BlockTable table;
  table.records.push_back(Record(1, 30, 1, 0, {}));
  RebuildBankHeader(out, loaded, table, 0, 30);
  EXPECT_EQ(out[39], 7);
  EXPECT_EQ(out[29], 0);
}

}  // namespace
}  // namespace nuv::toolcfg
