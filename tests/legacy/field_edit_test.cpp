#include "legacy/field_edit.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "image/crc32.h"
#include "legacy/field_bits.h"
#include "legacy_fixtures.h"

namespace nuv::legacy {
namespace {

using ::testing::ElementsAre;
using testing::Entry;
using testing::LegacyLayout;
using testing::MakeImage;

TEST(FieldBits, OnlyTheFieldsBitsChange) {
  std::vector<uint8_t> bytes = {0xFF};
  ASSERT_TRUE(WriteFieldBits(bytes, 3, 4, 9));
  EXPECT_EQ(bytes[0], 0xCF);
  EXPECT_EQ(ReadFieldBits(bytes, 3, 4), 9u);

  bytes = {0x00, 0x00};
  ASSERT_TRUE(WriteFieldBits(bytes, 6, 4, 0xF));
  EXPECT_THAT(bytes, ElementsAre(0xC0, 0x03));

  bytes = {0x34, 0x12};
  EXPECT_EQ(ReadFieldBits(bytes, 0, 16), 4660u);
}

TEST(FieldBits, ValuesWiderThanTheFieldKeepTheNeighbours) {
  std::vector<uint8_t> bytes = {0xAA, 0xAA};
  ASSERT_TRUE(WriteFieldBits(bytes, 6, 4, 0x1F0));  // only the low 4 bits (0) go in
  EXPECT_THAT(bytes, ElementsAre(0x2A, 0xA8));
  // A field longer than 32 bits: its first 32 bits carry the value, the rest stay.
  bytes = {0, 0, 0, 0, 0xFF};
  ASSERT_TRUE(WriteFieldBits(bytes, 0, 40, 0x12345678));
  EXPECT_THAT(bytes, ElementsAre(0x78, 0x56, 0x34, 0x12, 0xFF));
  EXPECT_EQ(ReadFieldBits(bytes, 0, 40), 0x12345678u);
}

TEST(FieldBits, FieldsBeyondTheBufferAreRefused) {
  std::vector<uint8_t> bytes = {0x00, 0x00};
  EXPECT_TRUE(ReadFieldBits(bytes, 8, 8));
  EXPECT_FALSE(ReadFieldBits(bytes, 9, 8));
  EXPECT_FALSE(ReadFieldBits(bytes, uint64_t{1} << 40, 1));
  EXPECT_FALSE(WriteFieldBits(bytes, 15, 2, 3));
  EXPECT_THAT(bytes, ElementsAre(0, 0));
}

TEST(FieldBits, TextFieldsCoverWholeBytes) {
  ScriptField field;
  field.bit_offset = 8;
  field.bit_length = 64;
  EXPECT_EQ(TextFieldBytes(100, field).first, 101u);
  EXPECT_EQ(TextFieldBytes(100, field).count, 8u);
  field.bit_offset = 3;
  field.bit_length = 6;  // bits 3..8: two bytes
  EXPECT_EQ(TextFieldBytes(0, field).count, 2u);
}

class FieldEditTest : public ::testing::Test {
 protected:
  static constexpr uint32_t kEntryOffset = 0x4000;
  static constexpr uint32_t kEntrySize = 0x100;

  void SetUp() override {
    LegacyLayout layout;
    layout.entries = {Entry(7, 0x2000, 0x80, 0), Entry(9, kEntryOffset, kEntrySize, 0x1234),
                      Entry(9, 0x6000, 0x10, 0)};
    image_ = MakeImage(layout);
  }

  BlockHandle AddBlock(ScriptBlock block) {
    std::vector<ScriptBlock> blocks(list_.blocks().begin(), list_.blocks().end());
    blocks.push_back(std::move(block));
    list_.Assign(std::move(blocks));
    return list_.Handle(list_.count() - 1);
  }

  static ScriptField Field(const std::string& name, uint8_t type, uint32_t offset,
                           uint32_t length) {
    ScriptField field;
    field.name = name;
    field.type = type;
    field.bit_offset = offset;
    field.bit_length = length;
    return field;
  }

  std::span<uint8_t> bytes() { return image_.image->bytes(); }

  image::FlashImage image_;
  LegacyBlockList list_;
  RecordedMessages messages_;
};

TEST_F(FieldEditTest, NumberAndListFieldsOfABlockInTheConfigArea) {
  ScriptBlock block;
  block.block_id = 0;
  block.offset = 0x20;
  block.fields = {Field("Count", kNumberField, 0, 16), Field("Mode", kListField, 16, 4)};
  block.fields[1].list_start = 0;
  block.fields[1].list_end = 15;
  block.fields[1].list_step = 5;
  const BlockHandle handle = AddBlock(block);
  const size_t base = 0x1000 + 0x20;
  bytes()[base] = 0x34;
  bytes()[base + 1] = 0x12;
  bytes()[base + 2] = 0xF7;  // Mode = 7, upper nibble belongs to nobody

  const FieldSheet sheet = LoadFields(image_, list_, handle, messages_);
  ASSERT_EQ(sheet.fields.size(), 2u);
  EXPECT_EQ(sheet.fields[0].input, FieldInput::kEdit);
  EXPECT_EQ(sheet.fields[0].text, "4660");
  EXPECT_EQ(sheet.fields[1].input, FieldInput::kList);
  EXPECT_THAT(sheet.fields[1].items, ElementsAre(0u, 5u, 10u, 15u));
  EXPECT_EQ(sheet.fields[1].selected, 0u);  // 7 is not offered: the first item
  EXPECT_EQ(list_.Find(handle)->fields[0].value, 4660u);
  EXPECT_EQ(list_.Find(handle)->fields[1].value, 7u);

  const FieldAnswer answers[] = {{"258", 0}, {"", 2}};
  ASSERT_TRUE(StoreFields(image_, list_, sheet, answers, messages_));
  EXPECT_EQ(bytes()[base], 0x02);
  EXPECT_EQ(bytes()[base + 1], 0x01);
  EXPECT_EQ(bytes()[base + 2], 0xFA);  // 10 in the low nibble, the high one kept
  EXPECT_TRUE(messages_.shown().empty());

  // A number edit that holds no number writes 0.
  const FieldAnswer junk[] = {{"12x", 0}, {"", 99}};
  ASSERT_TRUE(StoreFields(image_, list_, sheet, junk, messages_));
  EXPECT_EQ(bytes()[base], 0x00);
  EXPECT_EQ(bytes()[base + 1], 0x00);
  EXPECT_EQ(bytes()[base + 2], 0xFF);  // a selection past the end stops at the last item
}

TEST_F(FieldEditTest, TextFieldKeepsTheBytesAfterItsZeroByte) {
  ScriptBlock block;
  block.block_id = 7;
  block.fields = {Field("Text", kTextField, 8, 64)};
  const BlockHandle handle = AddBlock(block);
  const size_t base = 0x2000;
  const std::string old = "12345678";
  std::copy(old.begin(), old.end(), bytes().begin() + base + 1);

  FieldSheet sheet = LoadFields(image_, list_, handle, messages_);
  ASSERT_EQ(sheet.fields.size(), 1u);
  EXPECT_EQ(sheet.fields[0].text, "12345678");
  const FieldAnswer abc[] = {{"ABC", 0}};
  ASSERT_TRUE(StoreFields(image_, list_, sheet, abc, messages_));
  EXPECT_EQ(std::string(bytes().begin() + base + 1, bytes().begin() + base + 9), std::string("ABC\0"
                                                                                             "5678",
                                                                                             8));
  EXPECT_EQ(bytes()[base], testing::Pattern(base));  // byte 0 of the block is not the field's

  sheet = LoadFields(image_, list_, handle, messages_);
  EXPECT_EQ(sheet.fields[0].text, "ABC");
  const FieldAnswer nine[] = {{"abcdefghi", 0}};
  ASSERT_TRUE(StoreFields(image_, list_, sheet, nine, messages_));
  EXPECT_EQ(std::string(bytes().begin() + base + 1, bytes().begin() + base + 9),
            std::string("abcdefg\0", 8));
}

TEST_F(FieldEditTest, OkRecomputesTheCrcOfTheFirstEntryWithTheBlockId) {
  ScriptBlock block;
  block.block_id = 9;
  block.offset = 4;
  block.fields = {Field("Byte", kNumberField, 0, 8)};
  const BlockHandle handle = AddBlock(block);
  const FieldSheet sheet = LoadFields(image_, list_, handle, messages_);
  const FieldAnswer answers[] = {{"171", 0}};
  ASSERT_TRUE(StoreFields(image_, list_, sheet, answers, messages_));
  EXPECT_EQ(bytes()[kEntryOffset + 4], 171);
  const auto data = bytes().subspan(kEntryOffset, kEntrySize);
  EXPECT_EQ(image_.legacy_entries[1].crc(),
            image::UpdateCrc(image_.crc_table, image::kCrcStart, data));
  EXPECT_EQ(image_.legacy_entries[2].crc(), 0u);  // the second entry with id 9 is not the block
  EXPECT_EQ(bytes()[0x6000 + 4], testing::Pattern(0x6000 + 4));

  image_.legacy_entries[1].set_crc(image::kNoCrc);
  ASSERT_TRUE(StoreFields(image_, list_, sheet, answers, messages_));
  EXPECT_EQ(image_.legacy_entries[1].crc(), image::kNoCrc);
}

TEST_F(FieldEditTest, StringTooLongStopsTheSetUpAndOkKeepsTheLaterBits) {
  ScriptBlock block;
  block.block_id = 7;
  block.fields = {Field("A", kNumberField, 0, 8), Field("Long", kTextField, 8, 41 * 8),
                  Field("C", kNumberField, 0, 8)};
  const BlockHandle handle = AddBlock(block);
  const FieldSheet sheet = LoadFields(image_, list_, handle, messages_);
  EXPECT_THAT(messages_.texts(), ElementsAre("String too long!"));
  ASSERT_EQ(sheet.fields.size(), 2u);  // the third field gets no controls
  EXPECT_TRUE(sheet.fields[0].writable);
  EXPECT_EQ(sheet.fields[1].input, FieldInput::kEdit);
  EXPECT_EQ(sheet.fields[1].text, "");
  EXPECT_FALSE(sheet.fields[1].writable);

  const FieldAnswer answers[] = {{"5", 0}, {"typed", 0}};
  ASSERT_TRUE(StoreFields(image_, list_, sheet, answers, messages_));
  EXPECT_EQ(bytes()[0x2000], 5);
  EXPECT_EQ(bytes()[0x2001], testing::Pattern(0x2001));
}

TEST_F(FieldEditTest, FieldsOfOtherTypesAreShownButNeverWritten) {
  ScriptBlock block;
  block.block_id = 7;
  block.fields = {Field("Odd", 5, 0, 16)};
  const BlockHandle handle = AddBlock(block);
  const FieldSheet sheet = LoadFields(image_, list_, handle, messages_);
  ASSERT_EQ(sheet.fields.size(), 1u);
  EXPECT_EQ(sheet.fields[0].input, FieldInput::kNone);
  const FieldAnswer answers[] = {{"", 0}};
  ASSERT_TRUE(StoreFields(image_, list_, sheet, answers, messages_));
  EXPECT_EQ(bytes()[0x2000], testing::Pattern(0x2000));
}

TEST_F(FieldEditTest, BlocksAndFieldsThatCannotBePlacedAreRefused) {
  ScriptBlock missing;
  missing.block_id = 0x55;
  missing.fields = {Field("A", kNumberField, 0, 8)};
  const BlockHandle no_entry = AddBlock(missing);
  EXPECT_TRUE(LoadFields(image_, list_, no_entry, messages_).fields.empty());
  EXPECT_THAT(messages_.texts(), ElementsAre("Error block_id! No match block found!"));
  messages_.clear();

  ScriptBlock beyond;
  beyond.block_id = 7;
  beyond.offset = 0x7DFFF;  // base 0x7FFFF: the last byte
  beyond.fields = {Field("In", kNumberField, 0, 8), Field("Out", kNumberField, 8, 8)};
  const BlockHandle handle = AddBlock(beyond);
  const FieldSheet sheet = LoadFields(image_, list_, handle, messages_);
  EXPECT_THAT(messages_.texts(),
              ElementsAre("Field data error! The field Out lies outside the flash image."));
  ASSERT_EQ(sheet.fields.size(), 2u);
  EXPECT_FALSE(sheet.fields[1].writable);

  // An entry that Generate moved since the set-up: nothing is written.
  messages_.clear();
  image_.legacy_entries[0].set_offset(0x80000);
  const FieldAnswer answers[] = {{"1", 0}, {"2", 0}};
  EXPECT_FALSE(StoreFields(image_, list_, sheet, answers, messages_));
  EXPECT_THAT(messages_.texts(),
              ElementsAre("Error block_id! The block's data lies outside the flash image."));
}

TEST_F(FieldEditTest, HandlesFromAnEarlierParseReachNothing) {
  ScriptBlock block;
  block.block_id = 7;
  block.fields = {Field("A", kNumberField, 0, 8)};
  const BlockHandle handle = AddBlock(block);
  const FieldSheet sheet = LoadFields(image_, list_, handle, messages_);
  ASSERT_EQ(sheet.fields.size(), 1u);
  list_.Assign({block});  // a new parse of the same script
  EXPECT_TRUE(LoadFields(image_, list_, handle, messages_).fields.empty());
  const FieldAnswer answers[] = {{"9", 0}};
  EXPECT_FALSE(StoreFields(image_, list_, sheet, answers, messages_));
  EXPECT_EQ(bytes()[0x2000], testing::Pattern(0x2000));
  EXPECT_EQ(messages_.texts().size(), 1u);
}

TEST(FieldEdit, TipTextBreaksLinesAtBackslashN) {
  ScriptField field;
  field.description = "Shows\\nthe mode\\";
  EXPECT_EQ(TipText(field), "Shows\nthe mode\\");
}

}  // namespace
}  // namespace nuv::legacy
