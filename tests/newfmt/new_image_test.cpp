// The layout of a new image, on tables built here: expectations are worked
// out in each test from the rules of the image format, not taken from a run.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "image/dm_header.h"
#include "toolcfg/new_image.h"

namespace nuv::toolcfg {
namespace {

image::BlockRecord Record(uint8_t id, const char* name, uint32_t header, uint8_t bank,
                          uint32_t offset, std::vector<uint8_t> data, uint32_t crc = 0) {
  std::array<uint8_t, image::kBlockEntrySize> bytes{};
  bytes[0] = id;
  std::memcpy(bytes.data() + 24, name, std::min<size_t>(std::strlen(name), 8));
  image::BlockRecord record;
  record.entry = image::BlockEntry(bytes);
  record.entry.set_offset(offset);
  record.entry.set_size(static_cast<uint32_t>(data.size()));
  record.entry.set_crc(crc);
  record.header_offset = header;
  record.bank = bank;
  record.data = image::BlockData(std::move(data));
  return record;
}

uint32_t Word(const std::vector<uint8_t>& bytes, size_t at) {
  return bytes.at(at) | bytes.at(at + 1) << 8 | bytes.at(at + 2) << 16 |
         static_cast<uint32_t>(bytes.at(at + 3)) << 24;
}

// An image with a DM head (magic, marker) at every header position.
std::vector<uint8_t> Loaded(size_t length, std::initializer_list<uint32_t> headers) {
  std::vector<uint8_t> bytes(length, 0xEE);
  for (uint32_t h : headers) {
    std::copy(image::kDmMagic.begin(), image::kDmMagic.end(), bytes.begin() + h);
    bytes[h + image::kDmBlockCountOffset] = 9;
    bytes[h + image::kDmMarkerOffset] = image::kDmMarker;
  }
  return bytes;
}

class Layout : public testing::Test {
 protected:
  Layout() { image::BuildCrcTable(crc_); }
  image::CrcTable crc_{};
  RecordedMessages messages_;
};

TEST_F(Layout, NextBankOffsetIsTheNextOtherHeaderOrZero) {
  image::BlockTable table;
  table.records.push_back(Record(1, "a", 0, 1, 0x100, {1}));
  table.records.push_back(Record(2, "b", 0, 1, 0x200, {2}));
  table.records.push_back(Record(3, "c", 0x8000, 2, 0x100, {3}));
  EXPECT_EQ(NextBankOffset(table, 0), 0x8000u);
  EXPECT_EQ(NextBankOffset(table, 1), 0x8000u);
  EXPECT_EQ(NextBankOffset(table, 2), 0u);
  EXPECT_EQ(NextBankOffset(table, 3), 0u);
}

TEST_F(Layout, CrcsAlignmentPushAndHeadersOfTwoBanks) {
  const std::vector<uint8_t> loaded = Loaded(0x80000, {0, 0x40000});
  image::BlockTable table;
  // A grown block pushes the next one; 0xA4 at 0x12345 goes to 0x20000.
  table.records.push_back(Record(0x10, "first", 0, 1, 0x100, std::vector<uint8_t>(0x300, 1)));
  table.records.push_back(Record(0x11, "second", 0, 1, 0x200, {9, 8, 7}, image::kNoCrc));
  table.records.push_back(Record(0xA4, "boot", 0, 1, 0x12345, {5, 5}));
  table.records.push_back(Record(0x20, "last", 0x40000, 2, 0x80, {4, 3, 2, 1}));
  const auto out = LayOutNewImage(table, loaded, 0x80000, crc_, messages_);
  ASSERT_TRUE(out.has_value());
  EXPECT_TRUE(messages_.shown().empty());
  ASSERT_EQ(out->size(), 0x80000u);

  EXPECT_EQ(table.records[1].entry.offset(), 0x400u);
  EXPECT_EQ(table.records[1].entry.crc(), image::kNoCrc);
  EXPECT_EQ(table.records[2].entry.offset(), 0x20000u);
  const std::vector<uint8_t> four = {4, 3, 2, 1};
  EXPECT_EQ(table.records[3].entry.crc(), image::UpdateCrc(crc_, image::kCrcStart, four));
  EXPECT_EQ(out->at(0x400), 9);
  EXPECT_EQ(out->at(0x20000), 5);
  EXPECT_EQ(out->at(0x40080), 4);
  // Bank 1's header: head kept, three entries of its own; bank 2's: one.
  EXPECT_EQ(out->at(image::kDmMarkerOffset), image::kDmMarker);
  EXPECT_EQ(out->at(28 + 48 * 2), 0xA4);
  EXPECT_EQ(Word(*out, 28 + 48 * 2 + 4), 0x20000u);
  EXPECT_EQ(Word(*out, 28 + 48 * 1 + 4), 0x400u);
  EXPECT_EQ(out->at(28 + 48 * 3), 0xEE);  // no fourth entry written
  EXPECT_EQ(out->at(0x40000 + 28), 0x20);
  EXPECT_EQ(Word(*out, 0x40000 + 28 + 12), table.records[3].entry.crc());
}

TEST_F(Layout, ABankBehindAGrownOneMovesUpAndKeepsItsHead) {
  const std::vector<uint8_t> loaded = Loaded(0x10000, {0, 0x1000, 0x2000});
  image::BlockTable table;
  table.records.push_back(Record(1, "boot", 0, 1, 0x100, std::vector<uint8_t>(0x10, 1)));
  table.records.push_back(Record(2, "grown", 0x1000, 2, 0x100, std::vector<uint8_t>(0x1800, 2)));
  table.records.push_back(Record(3, "moved", 0x2000, 3, 0x40, {3}));
  const auto out = LayOutNewImage(table, loaded, 0x10000, crc_, messages_);
  ASSERT_TRUE(out.has_value());
  // Bank 2 ends at 0x1000 + 0x100 + 0x1800 = 0x2900: bank 3's header moves
  // there, and its block (pushed behind the grown one) too.
  EXPECT_EQ(table.records[2].header_offset, 0x2900u);
  EXPECT_EQ(table.records[2].entry.offset(), 0x900u);
  EXPECT_EQ(out->at(0x2900 + 0x900), 3);
  EXPECT_TRUE(std::equal(image::kDmMagic.begin(), image::kDmMagic.end(), out->begin() + 0x2900));
}

TEST_F(Layout, AFirstBankIntoTheSecondHeaderIsRefusedAndNothingIsMade) {
  const std::vector<uint8_t> loaded = Loaded(0x4000, {0, 0x1000});
  image::BlockTable table;
  table.records.push_back(Record(1, "boot", 0, 1, 0x100, std::vector<uint8_t>(0xF01, 1)));
  table.records.push_back(Record(2, "next", 0x1000, 2, 0x100, {2}));
  EXPECT_FALSE(LayOutNewImage(table, loaded, 0x4000, crc_, messages_).has_value());
  EXPECT_EQ(messages_.texts(), std::vector<std::string>{std::string(kBootloaderOutOfRange)});
}

TEST_F(Layout, ABlockPastTheImageEndIsRefused) {
  const std::vector<uint8_t> loaded = Loaded(0x1000, {0});
  image::BlockTable table;
  table.records.push_back(Record(1, "big", 0, 1, 0x100, std::vector<uint8_t>(0xF01, 1)));
  EXPECT_FALSE(LayOutNewImage(table, loaded, 0x1000, crc_, messages_).has_value());
  EXPECT_EQ(messages_.texts(), std::vector<std::string>{std::string(kOutOfRange)});
}

TEST_F(Layout, AHeaderAtTheVeryEndIsWrittenOnlyAsFarAsTheImageGoes) {
  std::vector<uint8_t> out(40, 0);
  const std::vector<uint8_t> loaded(40, 7);
  image::BlockTable table;
  table.records.push_back(Record(1, "a", 30, 1, 0, {}));
  RebuildBankHeader(out, loaded, table, 0, 30);
  EXPECT_EQ(out[39], 7);
  EXPECT_EQ(out[29], 0);
}

}  // namespace
}  // namespace nuv::toolcfg
