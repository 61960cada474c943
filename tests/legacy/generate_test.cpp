#include "legacy/generate.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "image/crc32.h"
#include "legacy_fixtures.h"

namespace nuv::legacy {
namespace {

using ::testing::ElementsAre;
using testing::Entry;
using testing::LegacyLayout;
using testing::MakeImage;
using testing::Pattern;

constexpr uint32_t kImageSize = 0x80000;
constexpr uint32_t kTailStart = 0x70000;

std::vector<uint8_t> Bytes(size_t count, uint8_t first) {
  std::vector<uint8_t> out(count);
  for (size_t i = 0; i < count; ++i)
    out[i] = static_cast<uint8_t>(first + i * 3);
  return out;
}

class GenerateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    layout_.size = kImageSize;
    layout_.entries = {Entry(1, 0x10000, 0x1000, 0x11111111), Entry(3, 0x11000, 0x2000, 0x33333333),
                       Entry(4, 0x13000, 0x3000, 0x44444444),
                       Entry(0xA, kTailStart, 0x10000, 0xAAAAAAAA, 1)};
    Load();
  }
  void Load() {
    image_ = MakeImage(layout_);
    original_.assign(image_.bytes().begin(), image_.bytes().end());
  }

  ScriptBlock& AddBlock(uint8_t id, uint8_t em, uint32_t offset = 0) {
    ScriptBlock block;
    block.block_id = id;
    block.em = em;
    block.offset = offset;
    blocks_.push_back(block);
    return blocks_.back();
  }
  // A row for the block added last; its handle is taken when Run() puts the
  // blocks into the list, as the dialog takes it when it makes the row.
  void Row(const std::string& file, std::span<const uint8_t> bytes) {
    AddRow(blocks_.size() - 1, folder_.Write(file, bytes));
  }
  void AddRow(size_t block, std::string path) {
    request_.rows.push_back({{0, block}, std::move(path)});
  }

  GenerateOutcome Run() {
    list_.Assign(blocks_);
    for (GenerateRow& row : request_.rows)
      row.block = list_.Handle(row.block.index);
    if (request_.output_path.empty() && !no_output_)
      request_.output_path = (folder_.path() / "out.bin").string();
    return Generate(image_, list_, request_, messages_);
  }
  std::vector<uint8_t> Output() const { return folder_.Read("out.bin"); }
  std::span<const uint8_t> bytes() const { return image_.bytes(); }
  uint32_t HeaderWord(size_t entry, size_t field) const {
    return *image::ReadU32(bytes(), layout_.dmh_offset + 12 + 48 * entry + field);
  }

  LegacyLayout layout_;
  image::FlashImage image_;
  std::vector<uint8_t> original_;
  std::vector<ScriptBlock> blocks_;
  LegacyBlockList list_;
  GenerateRequest request_;
  RecordedMessages messages_;
  testing::TempFolder folder_;
  bool no_output_ = false;
};

TEST_F(GenerateTest, WithoutRowsTheImageIsWrittenAsItStandsWithTheEntryTable) {
  image_.legacy_entries[2].set_crc(0xC0FFEE00);  // as a field edit left it
  const GenerateOutcome outcome = Run();
  EXPECT_TRUE(outcome.written);
  EXPECT_TRUE(outcome.started);
  EXPECT_EQ(outcome.tail_size, kImageSize - kTailStart);
  EXPECT_TRUE(messages_.shown().empty());
  EXPECT_EQ(HeaderWord(2, 12), 0xC0FFEE00u);
  EXPECT_EQ(bytes()[layout_.dmh_offset + 12 + 44], 0xEE);  // uninterpreted entry bytes kept
  const std::vector<uint8_t> out = Output();
  EXPECT_EQ(out, std::vector<uint8_t>(bytes().begin(), bytes().end()));
}

TEST_F(GenerateTest, EmptyOutputPathChangesNothing) {
  no_output_ = true;
  AddBlock(3, kFileBlock);
  Row("k.bin", Bytes(0x10, 1));
  const GenerateOutcome outcome = Run();
  EXPECT_FALSE(outcome.started);
  EXPECT_EQ(outcome.rows_done, 0u);
  EXPECT_THAT(messages_.texts(), ElementsAre("Please select output file!"));
  EXPECT_EQ(std::vector<uint8_t>(bytes().begin(), bytes().end()), original_);
}

TEST_F(GenerateTest, ShrinkingBlockPullsTheFollowingBlocksDown) {
  AddBlock(3, kFileBlock, 0x999);  // the script's offset plays no part for id != 0
  const auto data = Bytes(0x1F00, 7);
  Row("kernel.bin", data);
  ASSERT_TRUE(Run().written);
  EXPECT_TRUE(messages_.shown().empty());

  const auto& e = image_.legacy_entries;
  EXPECT_EQ(e[0].offset(), 0x10000u);  // before the block: kept
  EXPECT_EQ(e[0].crc(), 0x11111111u);
  EXPECT_EQ(e[1].offset(), 0x11000u);
  EXPECT_EQ(e[1].size(), 0x1F00u);
  EXPECT_EQ(e[1].crc(), image::UpdateCrc(image_.crc_table, image::kCrcStart, data));
  EXPECT_EQ(e[2].offset(), 0x12F00u);  // right behind the resized block
  EXPECT_EQ(e[2].crc(), 0x44444444u);  // its data only moved
  EXPECT_EQ(e[3].offset(), kTailStart);

  EXPECT_TRUE(std::equal(data.begin(), data.end(), bytes().begin() + 0x11000));
  for (uint32_t k = 0; k < 0x3000; k += 0x3FF)
    EXPECT_EQ(bytes()[0x12F00 + k], Pattern(0x13000 + k)) << k;
  // The last 0x100 bytes before the tail come from the tail's start; the tail itself stays.
  EXPECT_EQ(bytes()[kTailStart - 0x100], Pattern(kTailStart));
  EXPECT_TRUE(
      std::equal(original_.begin() + kTailStart, original_.end(), bytes().begin() + kTailStart));
  EXPECT_EQ(HeaderWord(2, 4), 0x12F00u);
  EXPECT_EQ(HeaderWord(1, 8), 0x1F00u);
  EXPECT_EQ(Output(), std::vector<uint8_t>(bytes().begin(), bytes().end()));
}

// The CRC a resized entry gets, by its definition: reflected, 0xEDB88320,
// start 0xFFFFFFFF, no final inversion, one byte at a time.
uint32_t CrcByDefinition(std::span<const uint8_t> data, uint32_t crc = 0xFFFFFFFF) {
  for (uint8_t byte : data) {
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit)
      crc = (crc & 1) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
  }
  return crc;
}

TEST_F(GenerateTest, CrcOfALargeRowFollowsTheDefinition) {
  AddBlock(3, kFileBlock);
  const auto data = Bytes(0x2000 + 5, 11);  // not a multiple of 8
  Row("k.bin", data);
  ASSERT_TRUE(Run().written);
  EXPECT_EQ(image_.legacy_entries[1].crc(), CrcByDefinition(data));
  EXPECT_EQ(CrcByDefinition(std::vector<uint8_t>{'1', '2', '3', '4', '5', '6', '7', '8', '9'}),
            0x340BC6D9u);
}

TEST_F(GenerateTest, GrowingBlockPushesTheFollowingBlocksUp) {
  AddBlock(1, kFileBlock);
  const auto data = Bytes(0x1100, 9);
  Row("a.bin", data);
  ASSERT_TRUE(Run().written);
  const auto& e = image_.legacy_entries;
  EXPECT_EQ(e[1].offset(), 0x11100u);
  EXPECT_EQ(e[2].offset(), 0x13100u);
  EXPECT_EQ(bytes()[0x11100], Pattern(0x11000));
  EXPECT_EQ(bytes()[0x13100 + 0x2FFF], Pattern(0x13000 + 0x2FFF));
  // What is pushed against the tail area falls off; the tail stays.
  EXPECT_EQ(bytes()[kTailStart - 1], Pattern(kTailStart - 1 - 0x100));
  EXPECT_EQ(bytes()[kTailStart], Pattern(kTailStart));
}

TEST_F(GenerateTest, DataThatDoesNotFitBeforeTheTailIsTooBig) {
  AddBlock(1, kFileBlock);
  Row("big.bin", Bytes(kTailStart - 0x10000 + 1, 0));
  GenerateOutcome outcome = Run();
  EXPECT_FALSE(outcome.written);
  EXPECT_EQ(outcome.rows_done, 0u);
  EXPECT_THAT(messages_.texts(), ElementsAre("Error: input file size is too big!"));
  EXPECT_EQ(std::vector<uint8_t>(bytes().begin(), bytes().end()), original_);
}

TEST_F(GenerateTest, MovedEntryEndingInTheTailAreaIsTooBigAndChangesStay) {
  AddBlock(1, kFileBlock);
  Row("same.bin", Bytes(0x1000, 0));
  AddBlock(3, kFileBlock);
  Row("grow.bin", Bytes(kTailStart - 0x11000 - 0x1000, 0));  // fits, but block 4 cannot follow
  const GenerateOutcome outcome = Run();
  EXPECT_FALSE(outcome.written);
  EXPECT_EQ(outcome.rows_done, 1u);  // the first row is placed and keeps its place
  EXPECT_THAT(messages_.texts(), ElementsAre("Error: input file size is too big!"));
  EXPECT_EQ(image_.legacy_entries[0].crc(),
            image::UpdateCrc(image_.crc_table, image::kCrcStart, Bytes(0x1000, 0)));
  EXPECT_EQ(image_.legacy_entries[1].size(), kTailStart - 0x11000 - 0x1000);
  EXPECT_EQ(image_.legacy_entries[2].offset(), 0x13000u);
  EXPECT_FALSE(std::filesystem::exists(folder_.path() / "out.bin"));
}

TEST_F(GenerateTest, TailFlaggedEntryBelowTheTailIsAlignedTo64K) {
  layout_.entries = {Entry(1, 0x10000, 0x1000, image::kNoCrc), Entry(2, 0x20000, 0x800, 0, 1),
                     Entry(3, 0x30000, 0x100, 0, 1)};
  Load();
  // The first flagged entry starts the tail: 0x20000. Entry 3 lies inside it.
  AddBlock(1, kFileBlock);
  Row("f.bin", Bytes(0x800, 0));
  const GenerateOutcome outcome = Run();
  EXPECT_EQ(outcome.tail_size, kImageSize - 0x20000);
  ASSERT_TRUE(outcome.written);
  EXPECT_EQ(image_.legacy_entries[0].crc(), image::kNoCrc);
  EXPECT_EQ(image_.legacy_entries[1].offset(), 0x20000u);
  EXPECT_EQ(image_.legacy_entries[2].offset(), 0x30000u);
}

TEST_F(GenerateTest, FlaggedEntryMovedBelowTheTailRoundsUp) {
  // The first flagged entry in table order starts the tail (0x40000); a
  // later flagged entry that lies below it is moved and aligned.
  layout_.entries = {Entry(5, 0x40000, 0x1000, 0, 1), Entry(1, 0x10000, 0x1000),
                     Entry(6, 0x11000, 0x800, 0, 1), Entry(2, 0x12000, 0x800)};
  Load();
  AddBlock(1, kFileBlock);
  Row("f.bin", Bytes(0x1800, 0));
  ASSERT_TRUE(Run().written);
  EXPECT_EQ(image_.legacy_entries[0].offset(), 0x40000u);
  EXPECT_EQ(image_.legacy_entries[2].offset(), 0x20000u);  // 0x11800 rounded up
  EXPECT_EQ(image_.legacy_entries[3].offset(), 0x20800u);  // right behind it

  // An entry after a tail entry would be placed behind it, inside the tail.
  layout_.entries = {Entry(1, 0x10000, 0x1000), Entry(5, 0x40000, 0x1000, 0, 1),
                     Entry(2, 0x11000, 0x800)};
  Load();
  EXPECT_FALSE(Run().written);
  EXPECT_THAT(messages_.texts(), ElementsAre("Error: input file size is too big!"));
}

TEST_F(GenerateTest, ShrinkingByMoreThanTheTailFillsWithErasedBytes) {
  layout_.entries = {Entry(1, 0x10000, 0x1000), Entry(2, 0x11000, 0x1000)};
  Load();  // no tail area at all
  AddBlock(1, kFileBlock);
  Row("f.bin", Bytes(0x800, 0));
  ASSERT_TRUE(Run().written);
  EXPECT_EQ(image_.legacy_entries[1].offset(), 0x10800u);
  EXPECT_EQ(bytes()[kImageSize - 0x801], Pattern(kImageSize - 1));
  for (size_t i = kImageSize - 0x800; i < kImageSize; ++i)
    ASSERT_EQ(bytes()[i], 0xFF) << i;
}

TEST_F(GenerateTest, UnknownAndDuplicateBlockIdsAreRefused) {
  AddBlock(0x42, kFileBlock);
  Row("x.bin", Bytes(4, 0));
  Run();
  EXPECT_THAT(messages_.texts(), ElementsAre("Error block_id! No match block found!"));

  messages_.clear();
  layout_.entries.push_back(Entry(3, 0x60000, 0x100));
  Load();
  blocks_.clear();
  request_.rows.clear();
  AddBlock(3, kFileBlock);
  Row("x.bin", Bytes(4, 0));
  EXPECT_FALSE(Run().written);
  EXPECT_THAT(messages_.texts(),
              ElementsAre("Error block_id! More than one block carries this block_id."));
  EXPECT_EQ(std::vector<uint8_t>(bytes().begin(), bytes().end()), original_);
}

TEST_F(GenerateTest, ConfigAreaBlockFollowedByAnotherConfigAreaBlock) {
  AddBlock(0, kFileBlock, 0x40);
  Row("c.bin", Bytes(0x20, 0));
  AddBlock(0, kFieldBlock, 0x50);
  EXPECT_FALSE(Run().written);
  EXPECT_THAT(messages_.texts(),
              ElementsAre("Overflow Error 0!\nCurrent block_id = 0, file data overflow next "
                          "block_id = 0!"));
  messages_.clear();
  blocks_.back().offset = 0x60;  // 0x40 + 0x20 reaches exactly to it
  const auto outcome = Run();
  EXPECT_TRUE(outcome.written);
  EXPECT_TRUE(messages_.shown().empty());
  EXPECT_EQ(bytes()[0x1040], 0);
  EXPECT_EQ(bytes()[0x105F], static_cast<uint8_t>(0x1F * 3));
}

TEST_F(GenerateTest, ConfigAreaBlockBeforeAnEntryBlockOnlyWarns) {
  AddBlock(0, kFileBlock, 0x40);
  Row("c.bin", Bytes(0x20, 0));
  AddBlock(5, kFieldBlock);
  // The config area lies behind the block header here, so the data "reaches past" it.
  const auto outcome = Run();
  EXPECT_TRUE(outcome.written);
  EXPECT_THAT(messages_.texts(),
              ElementsAre("Overflow Error 1!\n Current block_id = 0, overwrite the next "
                          "bank-flash_header_info."));
  EXPECT_EQ(bytes()[0x1041], 3);

  // With the header behind the data there is no warning.
  messages_.clear();
  layout_.dmh_offset = 0x2000;
  Load();
  EXPECT_TRUE(Run().written);
  EXPECT_TRUE(messages_.shown().empty());
}

TEST_F(GenerateTest, LastConfigAreaBlockMustEndBeforeTheFirstEntry) {
  AddBlock(0, kFileBlock, 0x10000 - 0x1000 - 0x20);
  Row("c.bin", Bytes(0x21, 0));
  EXPECT_FALSE(Run().written);
  EXPECT_THAT(messages_.texts(),
              ElementsAre("Overflow Error 2!\nCurrent block_id = 0, file data overflow next "
                          "block_id > 0!"));
  messages_.clear();
  request_.rows.back().path = folder_.Write("c.bin", Bytes(0x20, 0));
  EXPECT_TRUE(Run().written);
}

TEST_F(GenerateTest, ConfigAreaTargetOutsideTheImageIsRefused) {
  AddBlock(0, kFileBlock, 0xFFFFFFF0);
  Row("c.bin", Bytes(0x20, 0));
  AddBlock(5, kFieldBlock);
  EXPECT_FALSE(Run().written);
  EXPECT_EQ(messages_.texts().back(),
            "Overflow Error!\nCurrent block_id = 0, file data lies outside the flash image!");
}

TEST_F(GenerateTest, HardwareInfoRowAlwaysGives240Bytes) {
  AddBlock(3, kHwInfoBlock);
  AddRow(0, folder_.Write("hw.txt", std::string("panel starts\n0x01,0x02,##\n"
                                                "led starts\n{'0', 0x3F},##\n")));
  ASSERT_TRUE(Run().written);
  EXPECT_EQ(image_.legacy_entries[1].size(), 240u);
  EXPECT_EQ(image_.legacy_entries[2].offset(), 0x11000u + 240);
  const auto hw = bytes().subspan(0x11000, 240);
  EXPECT_THAT(std::vector<int>(hw.begin(), hw.begin() + 4), ElementsAre(2, 0, 1, 2));
  EXPECT_THAT(std::vector<int>(hw.begin() + 40, hw.begin() + 44), ElementsAre(1, 0, '0', 0x3F));
  EXPECT_EQ(hw[239], 0);
}

TEST_F(GenerateTest, RejectedHardwareInfoFileStops) {
  AddBlock(3, kHwInfoBlock);
  AddRow(0, folder_.Write("hw.txt", std::string("panel starts\n0x01,\n")));
  EXPECT_FALSE(Run().written);
  EXPECT_THAT(messages_.texts(),
              ElementsAre("The panel section of the hw info file has no closing \"##\"!",
                          "error while parsing panel hw info", "Parse hw info file failed"));
}

TEST_F(GenerateTest, RowsInOrderAndAMissingFileStopsWithEarlierRowsKept) {
  AddBlock(1, kFileBlock);
  Row("a.bin", Bytes(0x800, 0));
  AddBlock(4, kFileBlock);
  AddRow(1, "");  // no file chosen: passed over
  AddBlock(3, kFileBlock);
  AddRow(2, (folder_.path() / "missing.bin").string());
  const GenerateOutcome outcome = Run();
  EXPECT_FALSE(outcome.written);
  EXPECT_EQ(outcome.rows_done, 2u);
  EXPECT_THAT(messages_.texts(), ElementsAre("Failed to open the browsed file!\n File name = " +
                                             (folder_.path() / "missing.bin").string()));
  EXPECT_EQ(image_.legacy_entries[0].size(), 0x800u);
  EXPECT_EQ(image_.legacy_entries[1].offset(), 0x10800u);

  // A second Generate gets only the rows that remain.
  messages_.clear();
  request_.rows.erase(request_.rows.begin(), request_.rows.begin() + 2);
  request_.rows[0].path = folder_.Write("b.bin", Bytes(0x100, 0));
  ASSERT_TRUE(Run().written);
  EXPECT_EQ(image_.legacy_entries[0].size(), 0x800u);
  EXPECT_EQ(image_.legacy_entries[1].size(), 0x100u);
  EXPECT_EQ(image_.legacy_entries[2].offset(), 0x10900u);
}

TEST_F(GenerateTest, RowOfABlockThatTakesNoFileIsRefused) {
  AddBlock(1, kFieldBlock);
  Row("a.bin", Bytes(4, 0));
  EXPECT_FALSE(Run().written);
  EXPECT_THAT(messages_.texts(),
              ElementsAre("Error block! Only file and hw info blocks take a file."));
}

TEST_F(GenerateTest, ConfigurationFileMustHaveTheConfigLength) {
  request_.config_path = folder_.Write("cfg.bin", Bytes(0x401, 5));
  EXPECT_FALSE(Run().written);
  EXPECT_THAT(messages_.texts(), ElementsAre("Wrong customer config file!"));

  messages_.clear();
  const auto config = Bytes(0x400, 5);
  request_.config_path = folder_.Write("cfg.bin", config);
  ASSERT_TRUE(Run().written);
  EXPECT_TRUE(std::equal(config.begin(), config.end(), bytes().begin() + 0x1000));
  EXPECT_EQ(bytes()[0x1400], Pattern(0x1400));

  messages_.clear();
  request_.config_path = folder_.path().string();  // a folder is no file
  EXPECT_FALSE(Run().written);
  EXPECT_THAT(messages_.texts(), ElementsAre("Failed to open the browsed file!\n File name = " +
                                             request_.config_path));

  messages_.clear();
  request_.config_path = (folder_.path() / "gone.bin").string();
  EXPECT_FALSE(Run().written);
  EXPECT_THAT(messages_.texts(), ElementsAre("Failed to open the browsed file!\n File name = " +
                                             request_.config_path));
}

TEST_F(GenerateTest, KeyFileGivesTheKeyRecord) {
  const auto key = Bytes(198, 1);
  request_.key_path = folder_.Write("k.pub", key);
  ASSERT_TRUE(Run().written);
  const auto record = bytes().subspan(0x1000 + 628, 130);
  EXPECT_EQ(record[0], 0x80);
  EXPECT_EQ(record[1], 0x00);
  EXPECT_TRUE(std::equal(key.begin() + 5, key.begin() + 133, record.begin() + 2));
  EXPECT_EQ(bytes()[0x1000 + 628 + 130], Pattern(0x1000 + 628 + 130));

  messages_.clear();
  request_.key_path = folder_.Write("k.pub", Bytes(199, 1));
  EXPECT_FALSE(Run().written);
  request_.key_path = folder_.Write("k.pub", Bytes(132, 1));
  EXPECT_FALSE(Run().written);
  EXPECT_THAT(messages_.texts(),
              ElementsAre("Wrong abs private key file!",
                          "Wrong abs private key file! It holds fewer than 133 bytes."));
}

TEST_F(GenerateTest, BytePatchAndItsAddressCheck) {
  request_.flash_address = "7FFFF";
  request_.byte_value = "1A5";
  ASSERT_TRUE(Run().written);
  EXPECT_EQ(bytes()[kImageSize - 1], 0xA5);

  request_.flash_address = " 0x80000";
  request_.byte_value = "0";
  EXPECT_TRUE(Run().written);  // a warning only
  EXPECT_THAT(messages_.texts(), ElementsAre("Please set a valid flash address!"));
  EXPECT_EQ(Output()[kImageSize - 1], 0xA5);
}

TEST_F(GenerateTest, LaterStepsOverwriteEarlierOnes) {
  // The patch hits the entry table that was just written back.
  request_.flash_address = std::to_string(0) + "10C";  // first entry's block_id byte
  request_.byte_value = "77";
  ASSERT_TRUE(Run().written);
  EXPECT_EQ(bytes()[layout_.dmh_offset + 12], 0x77);
  EXPECT_EQ(image_.legacy_entries[0].block_id(), 1);  // the table in memory is not the image
}

TEST_F(GenerateTest, OutputReplacesAnExistingFileOnlyWhenWritten) {
  const std::string existing = folder_.Write("out.bin", std::string("old"));
  request_.output_path = (folder_.path() / "no-such-folder" / "out.bin").string();
  EXPECT_FALSE(Run().written);
  EXPECT_THAT(messages_.texts(), ElementsAre("Can't open output file!"));
  request_.output_path = folder_.path().string();  // a folder
  EXPECT_FALSE(Run().written);

  messages_.clear();
  request_.output_path = existing;
  ASSERT_TRUE(Run().written);
  EXPECT_EQ(Output().size(), kImageSize);
  size_t files = 0;
  for (const auto& item : std::filesystem::directory_iterator(folder_.path()))
    files += item.is_regular_file();
  EXPECT_EQ(files, 1u);  // no temporary file left behind
}

TEST_F(GenerateTest, BrokenLayoutsAreRefused) {
  layout_.entries.back() = Entry(0xA, kImageSize + 1, 0, 0, 1);
  Load();
  EXPECT_FALSE(Run().written);
  EXPECT_THAT(messages_.texts(),
              ElementsAre("Wrong bin file! The tail area starts beyond the flash size."));

  messages_.clear();
  layout_.entries.pop_back();
  Load();
  image_.dmh_offset = kImageSize - 12 - 48 * 2;  // one entry short of room
  EXPECT_FALSE(Run().written);
  EXPECT_THAT(messages_.texts(),
              ElementsAre("Wrong bin file! The block header lies outside the flash image."));
}

TEST_F(GenerateTest, RowsOfAnEarlierParseAreRefusedBeforeAnythingChanges) {
  AddBlock(3, kFileBlock);
  Row("k.bin", Bytes(0x100, 0));
  Run();
  messages_.clear();
  const GenerateRequest stale = request_;  // handles of the list as it was
  list_.Assign(blocks_);                   // a new parse of the same script
  const GenerateOutcome outcome = Generate(image_, list_, stale, messages_);
  EXPECT_FALSE(outcome.written);
  EXPECT_EQ(outcome.rows_done, 0u);
  EXPECT_THAT(messages_.texts(),
              ElementsAre("The script was parsed again: this Customer Config dialog is out of "
                          "date. Please use the new one."));
}

TEST_F(GenerateTest, ARequestOfAnEarlierParseWithoutRowsIsRefusedToo) {
  // A dialog whose rows are all done (or that had none) still belongs to
  // the parse it was made for: its texts must not reach a later image.
  AddBlock(0, kFieldBlock);
  request_.list_generation = list_.generation();  // the list before Run() assigns
  request_.key_path = folder_.Write("key.pub", Bytes(140, 5));
  const GenerateOutcome outcome = Run();
  EXPECT_FALSE(outcome.written);
  EXPECT_FALSE(outcome.started);
  EXPECT_THAT(messages_.texts(),
              ElementsAre("The script was parsed again: this Customer Config dialog is out of "
                          "date. Please use the new one."));
  EXPECT_TRUE(std::equal(original_.begin(), original_.end(), bytes().begin(), bytes().end()));

  messages_.clear();
  request_.list_generation = list_.generation();
  EXPECT_TRUE(Generate(image_, list_, request_, messages_).written);
  EXPECT_THAT(messages_.texts(), ElementsAre());
}

TEST_F(GenerateTest, ImagesAbove2MiBMoveTheWholeRegion) {
  // 8 MiB: the region behind the block is far larger than a row's 2 MiB buffer.
  layout_.size = 8 * 1024 * 1024;
  layout_.entries = {Entry(1, 0x10000, 0x1000), Entry(2, 0x11000, 0x400000),
                     Entry(9, 0x700000, 0x100000, 0, 1)};
  Load();
  AddBlock(1, kFileBlock);
  const auto data = Bytes(0x200000 + 0x1000, 3);  // more than a row takes: cut at 2 MiB
  Row("big.bin", data);
  ASSERT_TRUE(Run().written);
  EXPECT_EQ(image_.legacy_entries[0].size(), kMaxRowData);
  EXPECT_EQ(image_.legacy_entries[1].offset(), 0x10000u + kMaxRowData);
  EXPECT_EQ(bytes()[0x10000 + kMaxRowData - 1], data[kMaxRowData - 1]);
  EXPECT_EQ(bytes()[0x10000 + kMaxRowData], Pattern(0x11000));
  EXPECT_EQ(bytes()[0x10000 + kMaxRowData + 0x3FFFFF], Pattern(0x11000 + 0x3FFFFF));
  EXPECT_EQ(bytes()[0x700000], Pattern(0x700000));
}

TEST(CustomerConfigRows, ButtonsAndRowsFollowTheBlockKinds) {
  std::vector<ScriptBlock> blocks(6);
  const uint8_t ems[] = {kFieldBlock,  kFileBlock, kDescribedFieldBlock,
                         kHwInfoBlock, 5,          kFileBlock};
  for (size_t i = 0; i < blocks.size(); ++i)
    blocks[i].em = ems[i];
  LegacyBlockList list;
  list.Assign(blocks);
  EXPECT_THAT(ButtonBlocks(list), ElementsAre(0u, 2u));
  EXPECT_THAT(RowBlocks(list), ElementsAre(1u, 3u, 5u));
}

}  // namespace
}  // namespace nuv::legacy
