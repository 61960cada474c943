#include <gtest/gtest.h>

#include "image/pre_parse.h"
#include "image_builder.h"
#include "support/messages.h"
#include "temp_folder.h"

namespace nuv::image {
namespace {

using samples::BankPlan;
using samples::BlockPlan;
using samples::LegacyPlan;
using samples::NewFormatPlan;

BlockPlan Block(uint8_t id, std::string name, std::vector<uint8_t> data) {
  BlockPlan block;
  block.id = id;
  block.name = std::move(name);
  block.data = std::move(data);
  block.version = 0x100 + id;
  block.time = "2013-05-06";
  return block;
}

// Two banks (3 + 2 blocks); the "ssdataXY" block's 16 version bytes have no
// terminator.
NewFormatPlan TwoBanks() {
  NewFormatPlan plan;
  plan.length = 0x100000;
  BankPlan first{.header_offset = 0x200, .sdram_size = 0x4000000};
  first.blocks = {Block(0x01, "boot", samples::PatternBytes(0x300, 1)),
                  Block(0x02, "ssdataXY", samples::TextBytes("V2.05.0007-ABCDEFGH")),
                  Block(0xA4, "kernel", samples::PatternBytes(0x1000, 3))};
  first.blocks[2].align = 0x10000;
  BankPlan second{.header_offset = 0x80000, .sdram_size = 0xFFFFFFFF};
  second.blocks = {Block(0xA8, "rootfs", samples::PatternBytes(0x2000, 4)),
                   Block(0x05, "toolcfg", samples::PatternBytes(0x40, 5))};
  second.blocks[0].align = 0x10000;
  plan.banks = {first, second};
  return plan;
}

LegacyPlan Legacy() {
  LegacyPlan plan;  // 1 MiB
  plan.sdram_size = 0x00020000;
  plan.config = samples::PatternBytes(0x80, 6);
  plan.blocks = {Block(0x10, "loader", samples::PatternBytes(0x100, 7)),
                 Block(0x11, "ssdata", samples::TextBytes("L1.0")),
                 Block(0x30, "tail", samples::PatternBytes(0x40, 8))};
  plan.blocks[1].data.push_back(0);
  plan.blocks[2].offset = 0xF0000;
  plan.blocks[2].tail_flag = 1;
  return plan;
}

class PreParseTest : public testing::TempFolder {
 protected:
  PreParseOutcome Run(const std::vector<uint8_t>& bytes, bool experts = false,
                      bool internal = false) {
    const std::string path = Path("image.bin");
    EXPECT_TRUE(samples::WriteBytesFile(path, bytes));
    return RunPath(path, experts, internal);
  }
  PreParseOutcome RunPath(const std::string& path, bool experts = false, bool internal = false) {
    messages_.clear();
    return PreParse(flash_,
                    {.source_path = path, .experts_only = experts, .internal_mode = internal},
                    messages_);
  }
  std::vector<std::string> Shown() const { return messages_.texts(); }
  std::string FirstShown() const { return Shown().empty() ? "" : Shown()[0]; }

  FlashImage flash_;
  RecordedMessages messages_;
};

TEST_F(PreParseTest, NewFormatImageFillsHeaderValuesTableAndRows) {
  const PreParseOutcome outcome = Run(samples::BuildNewFormatImage(TwoBanks()).bytes);
  ASSERT_TRUE(outcome.ok) << FirstShown();
  EXPECT_TRUE(Shown().empty());
  EXPECT_EQ(outcome.kind, ImageKind::NewFormat);
  EXPECT_EQ(flash_.new_format, 1u);
  EXPECT_EQ(flash_.flash_size, 0x100000u);
  EXPECT_EQ(flash_.image_length, 0x100000u);
  EXPECT_EQ(flash_.block_number, 5u);
  EXPECT_EQ(static_cast<int32_t>(flash_.sdram_size), -1) << "the second header's, shown signed";
  EXPECT_EQ(flash_.software_version, "V2.05.0007-ABCDE");
  EXPECT_EQ(flash_.script_path, folder().string() + "/V2.05.0007-ABCDE");
  EXPECT_FALSE(flash_.expert);
  EXPECT_FALSE(outcome.show_export_section);
  ASSERT_EQ(outcome.rows.size(), 5u);
  EXPECT_EQ(outcome.rows[1].cells[kColumnName], "ssdataXY");
  EXPECT_EQ(outcome.rows[1].cells[kColumnTime], "2013-05-06");
  EXPECT_EQ(outcome.rows[2].cells[kColumnId], "A4");
  EXPECT_EQ(outcome.rows[2].cells[kColumnSize], "    1000");
  EXPECT_EQ(outcome.rows[3].cells[kColumnId], "A8");
  EXPECT_EQ(outcome.rows[3].cells[kColumnVersion], "000001A8");
  EXPECT_EQ(flash_.table.records[2].entry.offset() % 0x10000, 0u);
}

TEST_F(PreParseTest, LegacyImageFillsItsValuesAndShowsExport) {
  const PreParseOutcome outcome = Run(samples::BuildLegacyImage(Legacy()).bytes);
  ASSERT_TRUE(outcome.ok) << FirstShown();
  EXPECT_EQ(outcome.kind, ImageKind::Legacy);
  EXPECT_TRUE(outcome.show_export_section);
  EXPECT_EQ(flash_.new_format, 0u);
  EXPECT_EQ(flash_.dmh_offset, 0x1000u);
  EXPECT_EQ(flash_.config_length, 0x80u);
  EXPECT_EQ(flash_.sdram_size, 0x20000u);
  EXPECT_EQ(flash_.flash_size, 0x100000u);
  EXPECT_EQ(flash_.block_number, 3u);
  ASSERT_EQ(flash_.legacy_entries.size(), 3u);
  EXPECT_EQ(flash_.legacy_entries[2].tail_flag(), 1);
  EXPECT_EQ(flash_.table.total(), 0);
  EXPECT_EQ(flash_.software_version, "L1.0");
  EXPECT_EQ(flash_.script_path, folder().string() + "/L1.0");
  ASSERT_EQ(outcome.rows.size(), 3u);
  EXPECT_EQ(outcome.rows[2].cells[kColumnName], "tail");
  EXPECT_EQ(outcome.rows[2].cells[kColumnSize], "      40");
}

TEST_F(PreParseTest, ScriptRowFollowsExpertsAndInternalModePerKind) {
  const std::vector<uint8_t> modern = samples::BuildNewFormatImage(TwoBanks()).bytes;
  const std::vector<uint8_t> legacy = samples::BuildLegacyImage(Legacy()).bytes;
  for (bool experts : {false, true}) {
    for (bool internal : {false, true}) {
      SCOPED_TRACE(::testing::Message() << "experts " << experts << " internal " << internal);
      PreParseOutcome outcome = Run(modern, experts, internal);
      ASSERT_TRUE(outcome.ok);
      EXPECT_EQ(outcome.show_script_row, experts && internal);
      EXPECT_EQ(flash_.expert, experts);
      EXPECT_EQ(flash_.script_path.empty(), experts) << "experts get no script path";
      outcome = Run(legacy, experts, internal);
      ASSERT_TRUE(outcome.ok);
      EXPECT_EQ(outcome.show_script_row, experts);
      EXPECT_EQ(flash_.script_path.empty(), experts);
      EXPECT_EQ(flash_.software_version, "L1.0") << "the version is read for experts too";
    }
  }
}

TEST_F(PreParseTest, EverySsdataBlockInTurnSetsTheVersionAndExtendsTheScriptPath) {
  NewFormatPlan plan;
  BankPlan bank{.header_offset = 0};
  bank.blocks = {Block(1, "ssdata", samples::TextBytes("A1")), Block(2, "x", {1, 2}),
                 Block(3, "ssdata2", samples::TextBytes("B2"))};
  for (BlockPlan& block : bank.blocks)
    block.data.push_back(0);
  plan.banks = {bank};
  ASSERT_TRUE(Run(samples::BuildNewFormatImage(plan).bytes).ok) << FirstShown();
  EXPECT_EQ(flash_.software_version, "B2");
  EXPECT_EQ(flash_.script_path, folder().string() + "/A1B2");
}

TEST_F(PreParseTest, AVersionBlockAtTheVeryEndIsCutThere) {
  LegacyPlan plan = Legacy();
  plan.blocks[1].data = samples::TextBytes("END7");
  plan.blocks[1].offset = 0x100000 - 4;
  ASSERT_TRUE(Run(samples::BuildLegacyImage(plan).bytes).ok) << FirstShown();
  EXPECT_EQ(flash_.software_version, "END7");
}

TEST_F(PreParseTest, WithoutVersionBlockTheVersionKeepsItsValue) {
  flash_.software_version = "earlier";
  LegacyPlan plan = Legacy();
  plan.blocks[1].name = "other";
  ASSERT_TRUE(Run(samples::BuildLegacyImage(plan).bytes).ok) << FirstShown();
  EXPECT_EQ(flash_.software_version, "earlier");
  EXPECT_EQ(flash_.script_path, folder().string() + "/");
}

TEST_F(PreParseTest, LengthMustBeAWholeNumberOfHalfMegabytes) {
  LegacyPlan plan = Legacy();
  plan.length = 524289;
  plan.flash_size = 524289;
  EXPECT_FALSE(Run(samples::BuildLegacyImage(plan).bytes).ok);
  EXPECT_EQ(Shown(), std::vector<std::string>{"Wrong binary file!"});
  EXPECT_EQ(flash_.bytes().size(), 524289u) << "the buffer stays loaded";

  plan.length = 1048576;
  plan.flash_size = std::nullopt;
  EXPECT_TRUE(Run(samples::BuildLegacyImage(plan).bytes).ok) << FirstShown();
}

TEST_F(PreParseTest, RefusalsOfTheFileItself) {
  EXPECT_FALSE(RunPath("").ok);
  EXPECT_EQ(Shown(), std::vector<std::string>{"Please select source flash file first!"});
  EXPECT_FALSE(RunPath(Path("none.bin")).ok);
  EXPECT_EQ(Shown(), std::vector<std::string>{"Failed to open the flash file!"});
  const PreParseOutcome outcome = Run({});
  EXPECT_FALSE(outcome.ok);
  EXPECT_EQ(outcome.kind, ImageKind::None);
  EXPECT_EQ(Shown(), std::vector<std::string>{"The flash file is empty!"});
}

TEST_F(PreParseTest, TooManyBlocksMakeALegacyImageWhichThenNeedsItsHeader) {
  NewFormatPlan plan;
  BankPlan a{.header_offset = 0}, b{.header_offset = 0x40000};
  a.blocks.assign(33, Block(1, "a", {1}));
  b.blocks.assign(32, Block(2, "b", {2}));
  plan.banks = {a, b};
  // Its erased bytes make dmh_offset 0xFFFFFFFF: no legacy header.
  EXPECT_FALSE(Run(samples::BuildNewFormatImage(plan).bytes).ok);
  EXPECT_EQ(Shown(), std::vector<std::string>{"Wrong bin file!"});
  EXPECT_EQ(flash_.new_format, 0u);
  EXPECT_EQ(flash_.table.total(), 0);
}

TEST_F(PreParseTest, DamagedNewFormatHeadersAreRefusedNotReadAsLegacy) {
  NewFormatPlan plan = TwoBanks();
  plan.banks[1].blocks[1].size = 0x100000;
  const PreParseOutcome outcome = Run(samples::BuildNewFormatImage(plan).bytes);
  EXPECT_FALSE(outcome.ok);
  EXPECT_TRUE(outcome.rows.empty());
  EXPECT_EQ(Shown(),
            std::vector<std::string>{"Wrong binary file, data of block 05 beyond the image end!"});
}

TEST_F(PreParseTest, LegacyRefusalsShowOneMessageAndNothingElse) {
  LegacyPlan plan = Legacy();
  plan.blocks.assign(65, Block(1, "x", {1}));
  EXPECT_FALSE(Run(samples::BuildLegacyImage(plan).bytes).ok);
  EXPECT_EQ(Shown(), std::vector<std::string>{"Too many blocks!"});
  plan = Legacy();
  plan.flash_size = 0x80000;
  EXPECT_FALSE(Run(samples::BuildLegacyImage(plan).bytes).ok);
  EXPECT_EQ(Shown(), std::vector<std::string>{"Wrong bin file!"});
}

TEST_F(PreParseTest, APreParseReleasesWhatTheLastOneLoaded) {
  ASSERT_TRUE(Run(samples::BuildNewFormatImage(TwoBanks()).bytes).ok);
  std::weak_ptr<ImageBuffer> first = flash_.image;
  ASSERT_TRUE(Run(samples::BuildLegacyImage(Legacy()).bytes).ok);
  EXPECT_TRUE(first.expired()) << "block records must not keep the old image";
  EXPECT_EQ(flash_.table.total(), 0);
  EXPECT_EQ(flash_.snapshot.total(), 0);
  EXPECT_EQ(flash_.image_length, 0u);
}

}  // namespace
}  // namespace nuv::image
