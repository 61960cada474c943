// Generate on made-up layouts. Resizing the sample's blocks, the hardware
// info row, the key record, the byte patch and the messages of a stopped
// Generate are checked from the Customer Config dialog by the UI scripts
// (tests/ui/legacy_*.nuv) against an image model of their own; here are the
// layouts and refusals the sample cannot show.
#include "legacy/generate.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "image/crc32.h"
#include "legacy_fixtures.h"

namespace nuv::legacy {
namespace {

using ::testing::ElementsAre;
using testing::Entry;
using testing::Pattern;

constexpr uint32_t kImageSize = 0x80000;
constexpr uint32_t kTailStart = 0x70000;
const std::string kStale =
    "The script was parsed again: this Customer Config dialog is out of date. Please use the new "
    "one.";

std::vector<uint8_t> Bytes(size_t count, uint8_t first = 0) {
  std::vector<uint8_t> out(count);
  for (size_t i = 0; i < count; ++i)
    out[i] = static_cast<uint8_t>(first + i * 3);
  return out;
}

class GenerateTest : public ::testing::Test {
 protected:
  void SetUp() override { Reset(); }
  // Entries 1, 3 and 4 one behind the other from 0x10000 and the tail area
  // (entry 0xA) from 0x70000, the config area at 0x1000, the header at
  // 0x100; no blocks, and the output path set.
  void Reset() {
    layout_ = {};
    layout_.entries = {Entry(1, 0x10000, 0x1000, 0x11111111), Entry(3, 0x11000, 0x2000, 0x33333333),
                       Entry(4, 0x13000, 0x3000, 0x44444444),
                       Entry(0xA, kTailStart, 0x10000, 0xAAAAAAAA, 1)};
    Load();
    blocks_.clear();
    request_ = {};
    request_.output_path = Out();
    messages_.clear();
  }
  void Load() {
    image_ = testing::MakeImage(layout_);
    original_ = Image();
  }
  // A block of the script and, when `row` is given, its row with a file of
  // that many bytes. The list is assigned anew, as by a parse, and the rows
  // take their handles from it, as the dialog does when it makes them.
  void Add(uint8_t id, uint8_t em, uint32_t offset = 0, std::optional<size_t> row = {},
           uint8_t first = 0) {
    ScriptBlock block;
    block.block_id = id;
    block.em = em;
    block.offset = offset;
    blocks_.push_back(block);
    if (row) {
      const std::string name = "row" + std::to_string(request_.rows.size()) + ".bin";
      request_.rows.push_back({{0, blocks_.size() - 1}, folder_.Write(name, Bytes(*row, first))});
    }
    list_.Assign(blocks_);
    for (GenerateRow& each : request_.rows)
      each.block = list_.Handle(each.block.index);
  }
  GenerateOutcome Run() { return Generate(image_, list_, request_, messages_); }

  std::string Out() const { return (folder_.path() / "out.bin").string(); }
  std::vector<uint8_t> Image() const { return {image_.bytes().begin(), image_.bytes().end()}; }
  uint8_t At(size_t position) const { return image_.bytes()[position]; }
  // Generate refuses with `message`, the image and the output as they were;
  // then a fresh start.
  void Refused(const std::string& message) {
    SCOPED_TRACE(message);
    const GenerateOutcome outcome = Run();
    EXPECT_EQ(outcome.result, GenerateResult::kNotWritten);
    EXPECT_EQ(outcome.rows_done, 0u);
    EXPECT_THAT(messages_.texts(), ElementsAre(message));
    EXPECT_TRUE(Image() == original_);
    EXPECT_FALSE(std::filesystem::exists(Out()));
    Reset();
  }

  testing::LegacyLayout layout_;
  image::FlashImage image_;
  std::vector<uint8_t> original_;
  std::vector<ScriptBlock> blocks_;
  LegacyBlockList list_;
  GenerateRequest request_;
  RecordedMessages messages_;
  testing::TempFolder folder_;
};

TEST_F(GenerateTest, RefusalsLeaveTheImageAsItWas) {
  Add(3, kFileBlock, 0, 0x10);
  request_.output_path.clear();
  Refused("Please select output file!");
  Add(1, kFileBlock, 0, kTailStart - 0x10000 + 1);  // one byte more than fits before the tail
  Refused("Error: input file size is too big!");
  Add(1, kFieldBlock, 0, 4);
  Refused("Error block! Only file and hw info blocks take a file.");
  // A folder or a pipe as a row, the configuration or the key file.
  for (const std::string& path : {folder_.path().string(), folder_.Pipe("pipe")}) {
    Add(1, kFileBlock, 0, 4);
    request_.rows.back().path = path;
    Refused("Failed to open the browsed file!\n File name = " + path);
    request_.config_path = path;
    Refused("Failed to open the browsed file!\n File name = " + path);
    request_.key_path = path;
    Refused("Failed to open the browsed file!\n File name = " + path);
  }

  layout_.entries.push_back(Entry(3, 0x60000, 0x100));
  Load();
  Add(3, kFileBlock, 0, 4);
  Refused("Error block_id! More than one block carries this block_id.");
  layout_.entries.back() = Entry(0xA, kImageSize + 1, 0, 0, 1);
  Load();
  Refused("Wrong bin file! The tail area starts beyond the flash size.");
  layout_.entries.pop_back();
  Load();
  image_.dmh_offset = kImageSize - 12 - 48 * 2;  // one entry short of room
  Refused("Wrong bin file! The block header lies outside the flash image.");

  // A dialog of an earlier parse: its rows name blocks of the list as it
  // was; without rows, its key must not reach a later image either.
  Add(3, kFileBlock, 0, 0x100);
  list_.Assign(blocks_);
  Refused(kStale);
  Add(0, kFieldBlock);
  request_.list_generation = list_.generation();
  request_.key_path = folder_.Write("key.pub", Bytes(140));
  list_.Assign(blocks_);
  const GenerateRequest stale = request_;
  Refused(kStale);
  request_ = stale;
  request_.list_generation = list_.generation();
  EXPECT_EQ(Run().result, GenerateResult::kWritten);
  EXPECT_THAT(messages_.texts(), ElementsAre());
}

TEST_F(GenerateTest, AnEntryMovedIntoTheTailAreaIsTooBigAndTheRowsBeforeStay) {
  Add(1, kFileBlock, 0, 0x1000);
  Add(3, kFileBlock, 0, kTailStart - 0x11000 - 0x1000);  // fits, but block 4 cannot follow
  const GenerateOutcome outcome = Run();
  EXPECT_EQ(outcome.result, GenerateResult::kNotWritten);
  EXPECT_EQ(outcome.rows_done, 1u);
  EXPECT_THAT(messages_.texts(), ElementsAre("Error: input file size is too big!"));
  EXPECT_EQ(image_.legacy_entries[0].crc(), image::UpdateCrc(image::kCrcStart, Bytes(0x1000)));
  EXPECT_EQ(image_.legacy_entries[1].size(), kTailStart - 0x11000 - 0x1000);
  // Block 4 was moved behind block 3 before it was found to reach the tail.
  EXPECT_EQ(image_.legacy_entries[2].offset(), kTailStart - 0x1000);
  EXPECT_FALSE(std::filesystem::exists(Out()));
}

TEST_F(GenerateTest, EntriesBehindAResizedOneMoveUpToTheTail) {
  // Block 1's data replaced by `row` bytes: where the entries are then.
  const struct Case {
    std::vector<image::BlockEntry> entries;
    size_t row;
    std::vector<uint32_t> offsets;  // none: too big
    uint32_t tail_size = 0;
  } cases[] = {
      // The first flagged entry starts the tail; entry 3 lies inside it.
      {{Entry(1, 0x10000, 0x1000, image::kNoCrc), Entry(2, 0x20000, 0x800, 0, 1),
        Entry(3, 0x30000, 0x100, 0, 1)},
       0x800,
       {0x10000, 0x20000, 0x30000},
       kImageSize - 0x20000},
      // A later flagged entry below the tail (0x40000) is rounded up to 64K.
      {{Entry(5, 0x40000, 0x1000, 0, 1), Entry(1, 0x10000, 0x1000), Entry(6, 0x11000, 0x800, 0, 1),
        Entry(2, 0x12000, 0x800)},
       0x1800,
       {0x40000, 0x10000, 0x20000, 0x20800},
       kImageSize - 0x40000},
      // An entry after a tail entry would be placed behind it, in the tail.
      {{Entry(1, 0x10000, 0x1000), Entry(5, 0x40000, 0x1000, 0, 1), Entry(2, 0x11000, 0x800)},
       0x1800,
       {}},
      // No tail area: the end of the image is filled with erased bytes.
      {{Entry(1, 0x10000, 0x1000), Entry(2, 0x11000, 0x1000)}, 0x800, {0x10000, 0x10800}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "case " << (&c - cases));
    Reset();
    layout_.entries = c.entries;
    Load();
    Add(1, kFileBlock, 0, c.row);
    const GenerateOutcome outcome = Run();
    ASSERT_EQ(outcome.result == GenerateResult::kWritten, !c.offsets.empty());
    if (outcome.result != GenerateResult::kWritten) {
      EXPECT_THAT(messages_.texts(), ElementsAre("Error: input file size is too big!"));
      continue;
    }
    EXPECT_EQ(outcome.tail_size, c.tail_size);
    const uint32_t crc = image::UpdateCrc(image::kCrcStart, Bytes(c.row));
    std::vector<uint32_t> offsets;
    for (size_t k = 0; k < c.entries.size(); ++k) {
      offsets.push_back(image_.legacy_entries[k].offset());
      if (c.entries[k].block_id() == 1) {  // resized: its CRC over the new data, unless "NCRC"
        EXPECT_EQ(image_.legacy_entries[k].crc(),
                  c.entries[k].crc() == image::kNoCrc ? image::kNoCrc : crc);
      }
    }
    EXPECT_EQ(offsets, c.offsets);
  }
  // The last case: the bytes pulled down from the image's end are erased.
  EXPECT_EQ(At(kImageSize - 0x801), Pattern(kImageSize - 1));
  for (size_t i = kImageSize - 0x800; i < kImageSize; ++i)
    ASSERT_EQ(At(i), 0xFF) << i;
}

TEST_F(GenerateTest, ImagesAbove2MiBMoveTheWholeRegion) {
  // 8 MiB: the region behind the block is far larger than a row's 2 MiB.
  layout_.size = 8 * 1024 * 1024;
  layout_.entries = {Entry(1, 0x10000, 0x1000), Entry(2, 0x11000, 0x400000),
                     Entry(9, 0x700000, 0x100000, 0, 1)};
  Load();
  Add(1, kFileBlock, 0, kMaxRowData + 0x1000, 3);  // more than a row takes: cut at 2 MiB
  ASSERT_EQ(Run().result, GenerateResult::kWritten);
  EXPECT_EQ(image_.legacy_entries[0].size(), kMaxRowData);
  EXPECT_EQ(image_.legacy_entries[1].offset(), 0x10000u + kMaxRowData);
  EXPECT_EQ(At(0x10000 + kMaxRowData - 1), Bytes(kMaxRowData, 3).back());
  EXPECT_EQ(At(0x10000 + kMaxRowData), Pattern(0x11000));
  EXPECT_EQ(At(0x10000 + kMaxRowData + 0x3FFFFF), Pattern(0x11000 + 0x3FFFFF));
  EXPECT_EQ(At(0x700000), Pattern(0x700000));
}

TEST_F(GenerateTest, BlocksInTheConfigAreaEndBeforeWhatFollowsThem) {
  // A file block at `offset` of the config area (0x1000) with `size` bytes,
  // followed by a field block: another one in the config area at `next`, or
  // one in an entry (id 5) when `next` is 0, or none at all.
  const std::string overflow0 =
      "Overflow Error 0!\nCurrent block_id = 0, file data overflow next block_id = 0!";
  const std::string overflow1 =
      "Overflow Error 1!\n Current block_id = 0, overwrite the next bank-flash_header_info.";
  const std::string overflow2 =
      "Overflow Error 2!\nCurrent block_id = 0, file data overflow next block_id > 0!";
  const std::string outside =
      "Overflow Error!\nCurrent block_id = 0, file data lies outside the flash image!";
  const struct Case {
    uint32_t offset, size;
    std::optional<uint32_t> next;
    uint32_t dmh_offset;
    bool written;
    std::vector<std::string> messages;
  } cases[] = {
      {0x40, 0x20, 0x50, 0x100, false, {overflow0}},
      {0x40, 0x20, 0x60, 0x100, true, {}},  // reaches exactly to the next block
      // The block header at 0x100 lies behind the config area: a warning only.
      {0x40, 0x20, 0, 0x100, true, {overflow1}},
      {0x40, 0x20, 0, 0x2000, true, {}},
      // The last block must end before the first entry (0x10000).
      {0x10000 - 0x1000 - 0x20, 0x21, std::nullopt, 0x100, false, {overflow2}},
      {0x10000 - 0x1000 - 0x20, 0x20, std::nullopt, 0x100, true, {}},
      {0xFFFFFFF0, 0x20, 0, 0x100, false, {overflow1, outside}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "case " << (&c - cases));
    Reset();
    layout_.dmh_offset = c.dmh_offset;
    Load();
    Add(0, kFileBlock, c.offset, c.size);
    if (c.next)
      Add(*c.next != 0 ? 0 : 5, kFieldBlock, *c.next);
    EXPECT_EQ(Run().result == GenerateResult::kWritten, c.written);
    EXPECT_EQ(messages_.texts(), c.messages);
  }
}

// Key files of 133 to 198 bytes give the key record (its layout is checked
// by the UI scripts with a key of 160 bytes); the patch comes after the
// entry table is written back; the output replaces an existing file without
// leaving a temporary one, and one that cannot be opened keeps it.
TEST_F(GenerateTest, KeyRecordPatchAndOutputOfAWrittenImage) {
  folder_.Write("out.bin", std::string("old"));
  request_.output_path = (folder_.path() / "no-such-folder" / "out.bin").string();
  EXPECT_EQ(Run().result, GenerateResult::kNotWritten);
  EXPECT_THAT(messages_.texts(), ElementsAre("Can't open output file!"));
  EXPECT_EQ(folder_.Read("out.bin").size(), 3u);

  request_.output_path = Out();
  request_.flash_address = "10C";  // the first entry's block_id byte
  request_.byte_value = "77";
  for (const size_t size : {133u, 198u}) {
    const auto key = Bytes(size, 1);
    request_.key_path = folder_.Write("k.pub", key);
    ASSERT_EQ(Run().result, GenerateResult::kWritten) << size;
    EXPECT_TRUE(
        std::equal(key.begin() + 5, key.begin() + 133, image_.bytes().begin() + 0x1000 + 630));
    EXPECT_EQ(At(layout_.dmh_offset + 12), 0x77);
    EXPECT_EQ(image_.legacy_entries[0].block_id(), 1);  // the table in memory is not the image
    EXPECT_TRUE(folder_.Read("out.bin") == Image());
  }
  std::vector<std::string> files;
  for (const auto& item : std::filesystem::directory_iterator(folder_.path()))
    files.push_back(item.path().filename().string());
  EXPECT_THAT(files, ::testing::UnorderedElementsAre("out.bin", "k.pub"));
}

}  // namespace
}  // namespace nuv::legacy
