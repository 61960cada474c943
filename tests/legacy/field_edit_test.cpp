#include "legacy/field_edit.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "image/crc32.h"
#include "legacy/field_bits.h"
#include "legacy_fixtures.h"

namespace nuv::legacy {
namespace {

using ::testing::ElementsAre;
using testing::Entry;
using testing::Pattern;

// The bits themselves are common::ReadBitField's; a field holds 32 of them.
TEST(FieldBits, OnlyTheFirst32BitsCarryTheValueAndTheWholeFieldMustFit) {
  std::vector<uint8_t> bytes = {0, 0, 0, 0, 0xFF};
  ASSERT_EQ(WriteFieldBits(bytes, 0, 40, 0x12345678), common::BoundedWrite::kWritten);
  EXPECT_THAT(bytes, ElementsAre(0x78, 0x56, 0x34, 0x12, 0xFF));
  EXPECT_EQ(ReadFieldBits(bytes, 0, 40), 0x12345678u);
  EXPECT_FALSE(ReadFieldBits(bytes, 1, 40));
  EXPECT_EQ(WriteFieldBits(bytes, 1, 40, 0), common::BoundedWrite::kOutside);
  EXPECT_THAT(bytes, ElementsAre(0x78, 0x56, 0x34, 0x12, 0xFF));

  ScriptField text;
  text.bit_offset = 8;
  text.bit_length = 64;
  EXPECT_EQ(TextFieldBytes(100, text).first, 101u);
  EXPECT_EQ(TextFieldBytes(100, text).count, 8u);
  text.bit_offset = 3;
  text.bit_length = 6;  // bits 3..8: two bytes
  EXPECT_EQ(TextFieldBytes(0, text).count, 2u);
}

// A 512 KiB image (config area at 0x1000) with entries of block id 7 at
// 0x2000, 9 at 0x4000 and a second 9 at 0x6000; one block in the list.
class FieldEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::LegacyLayout layout;
    layout.entries = {Entry(7, 0x2000, 0x80, 0), Entry(9, 0x4000, 0x100, 0x1234),
                      Entry(9, 0x6000, 0x10, 0)};
    image_ = testing::MakeImage(layout);
  }

  BlockHandle Block(uint8_t id, uint32_t offset, std::vector<ScriptField> fields) {
    ScriptBlock block;
    block.block_id = id;
    block.offset = offset;
    block.fields = std::move(fields);
    list_.Assign({block});
    return list_.Handle(0);
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

// Number and list fields are read and written; fields of other types and
// lists without values are shown but never written.
TEST_F(FieldEditTest, FieldsOfABlockInTheConfigAreaByType) {
  std::vector<ScriptField> fields = {Field("Count", kNumberField, 0, 16),
                                     Field("Mode", kListField, 16, 4), Field("Odd", 5, 24, 16),
                                     Field("Empty", kListField, 40, 8)};
  fields[1].list_end = 15;
  fields[1].list_step = 5;
  fields[3].list_start = 9;  // above its end: nothing to choose
  fields[3].list_end = 3;
  fields[3].list_step = 1;
  const BlockHandle handle = Block(0, 0x20, fields);
  const size_t base = 0x1000 + 0x20;
  bytes()[base] = 0x34;
  bytes()[base + 1] = 0x12;
  bytes()[base + 2] = 0xF7;  // Mode = 7, upper nibble belongs to nobody

  const FieldSheet sheet = LoadFields(image_, list_, handle, messages_);
  ASSERT_EQ(sheet.fields.size(), 4u);
  EXPECT_EQ(sheet.fields[0].input, FieldInput::kEdit);
  EXPECT_EQ(sheet.fields[0].text, "4660");
  EXPECT_EQ(sheet.fields[1].input, FieldInput::kList);
  EXPECT_THAT(sheet.fields[1].items, ElementsAre(0u, 5u, 10u, 15u));
  EXPECT_EQ(sheet.fields[1].selected, 0u);  // 7 is not offered: the first item
  EXPECT_EQ(list_.Find(handle)->fields[0].value, 4660u);
  EXPECT_EQ(list_.Find(handle)->fields[1].value, 7u);
  EXPECT_EQ(sheet.fields[2].input, FieldInput::kNone);
  EXPECT_EQ(sheet.fields[3].input, FieldInput::kList);
  EXPECT_TRUE(sheet.fields[3].items.empty());

  const FieldAnswer answers[] = {{"258", 0}, {"", 2}, {"", 0}, {"", 0}};
  ASSERT_EQ(StoreFields(image_, list_, sheet, answers, messages_), StoreResult::kStored);
  EXPECT_THAT(bytes().subspan(base, 3), ElementsAre(0x02, 0x01, 0xFA));
  // A number edit that holds no number writes 0; a selection past the end
  // stops at the last item.
  const FieldAnswer junk[] = {{"12x", 0}, {"", 99}, {"", 0}, {"", 99}};
  ASSERT_EQ(StoreFields(image_, list_, sheet, junk, messages_), StoreResult::kStored);
  EXPECT_THAT(bytes().subspan(base, 6), ElementsAre(0x00, 0x00, 0xFF, Pattern(base + 3),
                                                    Pattern(base + 4), Pattern(base + 5)));
  EXPECT_TRUE(messages_.shown().empty());
}

TEST_F(FieldEditTest, AValueTooLargeForItsBitsIsRefusedAndNothingIsWritten) {
  // Byte 0 is written by the first field; the second is the one refused.
  std::vector<ScriptField> fields = {
      Field("First", kNumberField, 0, 8), Field("Delay", kNumberField, 8, 8),
      Field("Wide", kNumberField, 16, 40), Field("Mode", kListField, 56, 4)};
  fields[3].list_end = 20;
  fields[3].list_step = 10;
  const BlockHandle handle = Block(7, 0, fields);
  const FieldSheet sheet = LoadFields(image_, list_, handle, messages_);
  const struct Case {
    std::string delay, wide;
    size_t mode;
    const char* message;  // null: accepted
  } cases[] = {
      {"300", "0", 0,
       "Field data error! The value 300 does not fit the field Delay (8 bits): its "
       "largest value is 255."},
      {"0", "4294967296", 0,
       "Field data error! The value 4294967296 does not fit the field Wide (32 bits): its largest "
       "value is 4294967295."},
      {"0", "0", 2,
       "Field data error! The value 20 does not fit the field Mode (4 bits): its "
       "largest value is 15."},
      {"255", "4294967295", 1, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.delay + " " + c.wide);
    messages_.clear();
    const std::vector<uint8_t> before(bytes().begin(), bytes().end());
    const FieldAnswer answers[] = {{"1", 0}, {c.delay, 0}, {c.wide, 0}, {"", c.mode}};
    EXPECT_EQ(StoreFields(image_, list_, sheet, answers, messages_) == StoreResult::kStored,
              c.message == nullptr);
    if (c.message != nullptr) {
      EXPECT_THAT(messages_.texts(), ElementsAre(c.message));
      EXPECT_TRUE(std::equal(before.begin(), before.end(), bytes().begin()));
    } else {
      EXPECT_TRUE(messages_.shown().empty());
      EXPECT_THAT(bytes().subspan(0x2000, 7),
                  ElementsAre(1, 255, 255, 255, 255, 255, Pattern(0x2006)));
    }
  }
}

TEST_F(FieldEditTest, OkRecomputesTheCrcOfTheFirstEntryWithTheBlockIdUnlessItIsNcrc) {
  const BlockHandle handle = Block(9, 4, {Field("Byte", kNumberField, 0, 8)});
  const FieldSheet sheet = LoadFields(image_, list_, handle, messages_);
  const FieldAnswer answers[] = {{"171", 0}};
  ASSERT_EQ(StoreFields(image_, list_, sheet, answers, messages_), StoreResult::kStored);
  EXPECT_EQ(bytes()[0x4000 + 4], 171);
  EXPECT_EQ(image_.legacy_entries[1].crc(),
            image::UpdateCrc(image::kCrcStart, bytes().subspan(0x4000, 0x100)));
  EXPECT_EQ(image_.legacy_entries[2].crc(), 0u);
  EXPECT_EQ(bytes()[0x6000 + 4], Pattern(0x6000 + 4));

  image_.legacy_entries[1].set_crc(image::kNoCrc);
  ASSERT_EQ(StoreFields(image_, list_, sheet, answers, messages_), StoreResult::kStored);
  EXPECT_EQ(image_.legacy_entries[1].crc(), image::kNoCrc);
}

TEST_F(FieldEditTest, BlocksThatCannotBePlacedWriteNothing) {
  EXPECT_TRUE(LoadFields(image_, list_, Block(0x55, 0, {Field("A", kNumberField, 0, 8)}), messages_)
                  .fields.empty());
  EXPECT_THAT(messages_.texts(), ElementsAre("Error block_id! No match block found!"));
  messages_.clear();

  // Base 0x7FFFF, the last byte: the second field lies outside.
  const BlockHandle handle =
      Block(7, 0x7DFFF, {Field("In", kNumberField, 0, 8), Field("Out", kNumberField, 8, 8)});
  const FieldSheet sheet = LoadFields(image_, list_, handle, messages_);
  EXPECT_THAT(messages_.texts(),
              ElementsAre("Field data error! The field Out lies outside the flash image."));
  ASSERT_EQ(sheet.fields.size(), 2u);
  EXPECT_FALSE(sheet.fields[1].writable);

  // An entry that Generate moved since the set-up.
  messages_.clear();
  image_.legacy_entries[0].set_offset(0x80000);
  const FieldAnswer answers[] = {{"1", 0}, {"2", 0}};
  EXPECT_EQ(StoreFields(image_, list_, sheet, answers, messages_), StoreResult::kRefused);
  EXPECT_THAT(messages_.texts(),
              ElementsAre("Error block_id! The block's data lies outside the flash image."));
  EXPECT_EQ(bytes()[0x7FFFF], Pattern(0x7FFFF));

  // A sheet of an earlier parse of the same script.
  messages_.clear();
  image_.legacy_entries[0].set_offset(0x2000);
  list_.Assign({*list_.Find(handle)});
  EXPECT_TRUE(LoadFields(image_, list_, handle, messages_).fields.empty());
  EXPECT_EQ(StoreFields(image_, list_, sheet, answers, messages_), StoreResult::kRefused);
  EXPECT_EQ(bytes()[0x7FFFF], Pattern(0x7FFFF));
  EXPECT_EQ(messages_.texts().size(), 1u);
}

}  // namespace
}  // namespace nuv::legacy
