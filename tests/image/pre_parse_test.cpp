// Pre-Parse of generated images. What the form shows of the sample images
// (header values, rows, the script row and the export section) and every
// refusal's message are the main_preparse_* and main_experts UI scripts';
// here what the form cannot show.
#include <gtest/gtest.h>

#include "image/pre_parse.h"
#include "image_builder.h"
#include "sample_set.h"
#include "support/messages.h"
#include "test_files.h"

namespace nuv::image {
namespace {

using samples::BankPlan;
using samples::BlockPlan;
using samples::LegacyPlan;
using samples::NewFormatPlan;

BlockPlan Block(uint8_t id, std::string name, std::vector<uint8_t> data) {
  return {.id = id, .name = std::move(name), .data = std::move(data)};
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
  BankPlan second{.header_offset = 0x80000, .sdram_size = 0xFFFFFFFF};
  second.blocks = {Block(0xA8, "rootfs", samples::PatternBytes(0x2000, 4)),
                   Block(0x05, "toolcfg", samples::PatternBytes(0x40, 5))};
  plan.banks = {first, second};
  return plan;
}

// Three entries, the last a tail; the version block lies at the very end of
// the image, without a terminator.
LegacyPlan Legacy() {
  LegacyPlan plan;  // 1 MiB
  plan.sdram_size = 0x00020000;
  plan.config = samples::PatternBytes(0x80, 6);
  plan.blocks = {Block(0x10, "loader", samples::PatternBytes(0x100, 7)),
                 Block(0x11, "ssdata", samples::TextBytes("END7")),
                 Block(0x30, "tail", samples::PatternBytes(0x40, 8))};
  plan.blocks[1].offset = 0x100000 - 4;
  plan.blocks[2].offset = 0xF0000;
  plan.blocks[2].tail_flag = 1;
  return plan;
}

class PreParseTest : public ::testing::Test {
 protected:
  PreParseOutcome Run(const std::vector<uint8_t>& bytes, bool experts = false,
                      bool internal = false) {
    const std::string path = (folder_ / "image.bin").string();
    EXPECT_TRUE(samples::WriteBytesFile(path, bytes));
    messages_.clear();
    return PreParse(flash_,
                    {.source_path = path, .experts_only = experts, .internal_mode = internal},
                    messages_);
  }
  // The image's folder with its separator.
  std::string Folder() const { return (folder_.path() / "").string(); }

  nuv::test::TempFolder folder_;
  FlashImage flash_;
  RecordedMessages messages_;
};

TEST_F(PreParseTest, ANewFormatImageFillsTheImagesValues) {
  const PreParseOutcome outcome = Run(samples::BuildNewFormatImage(TwoBanks()).bytes);
  ASSERT_EQ(outcome.result, PreParseResult::kParsed) << ::testing::PrintToString(messages_.texts());
  EXPECT_TRUE(messages_.texts().empty());
  EXPECT_EQ(outcome.kind, ImageKind::NewFormat);
  EXPECT_EQ(flash_.kind, ImageKind::NewFormat);
  EXPECT_EQ(flash_.image_length, 0x100000u);
  EXPECT_EQ(flash_.software_version, "V2.05.0007-ABCDE");
  EXPECT_EQ(flash_.script_path, Folder() + "V2.05.0007-ABCDE");
  EXPECT_FALSE(flash_.expert);
}

TEST_F(PreParseTest, ALegacyImageFillsItsValuesAndHasNoBlockTable) {
  // After a new-format image in the same page, as a user opens one after the other.
  ASSERT_EQ(Run(samples::BuildNewFormatImage(TwoBanks()).bytes).result, PreParseResult::kParsed);
  const PreParseOutcome outcome = Run(samples::BuildLegacyImage(Legacy()).bytes);
  ASSERT_EQ(outcome.result, PreParseResult::kParsed) << ::testing::PrintToString(messages_.texts());
  EXPECT_EQ(outcome.kind, ImageKind::Legacy);
  EXPECT_EQ(flash_.kind, ImageKind::Legacy);
  EXPECT_EQ(flash_.dmh_offset, 0x1000u);
  EXPECT_EQ(flash_.config_length, 0x80u);
  ASSERT_EQ(flash_.legacy_entries.size(), 3u);
  EXPECT_EQ(flash_.legacy_entries[2].tail_flag(), 1);
  EXPECT_EQ(flash_.table.total(), 0);
  EXPECT_EQ(flash_.software_version, "END7") << "cut at the image end";
  EXPECT_EQ(flash_.script_path, Folder() + "END7");
}

TEST_F(PreParseTest, ScriptRowFollowsExpertsAndInternalModePerKind) {
  const std::vector<uint8_t> modern = samples::BuildNewFormatImage(TwoBanks()).bytes;
  const std::vector<uint8_t> legacy = samples::BuildLegacyImage(Legacy()).bytes;
  for (bool experts : {false, true}) {
    for (bool internal : {false, true}) {
      SCOPED_TRACE(::testing::Message() << "experts " << experts << " internal " << internal);
      PreParseOutcome outcome = Run(modern, experts, internal);
      ASSERT_EQ(outcome.result, PreParseResult::kParsed);
      EXPECT_EQ(outcome.show_script_row, experts && internal);
      EXPECT_EQ(flash_.expert, experts);
      EXPECT_EQ(flash_.script_path.empty(), experts) << "experts get no script path";
      outcome = Run(legacy, experts, internal);
      ASSERT_EQ(outcome.result, PreParseResult::kParsed);
      EXPECT_EQ(outcome.show_script_row, experts);
      EXPECT_EQ(flash_.script_path.empty(), experts);
      EXPECT_EQ(flash_.software_version, "END7") << "the version is read for experts too";
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
  ASSERT_EQ(Run(samples::BuildNewFormatImage(plan).bytes).result, PreParseResult::kParsed);
  EXPECT_EQ(flash_.software_version, "B2");
  EXPECT_EQ(flash_.script_path, Folder() + "A1B2");

  // Without one the version keeps its value.
  LegacyPlan legacy = Legacy();
  legacy.blocks[1].name = "other";
  ASSERT_EQ(Run(samples::BuildLegacyImage(legacy).bytes).result, PreParseResult::kParsed);
  EXPECT_EQ(flash_.software_version, "B2");
  EXPECT_EQ(flash_.script_path, Folder());
}

TEST_F(PreParseTest, APreParseReleasesWhatTheLastOneLoadedAndARefusedImageStaysLoaded) {
  ASSERT_EQ(Run(samples::BuildNewFormatImage(TwoBanks()).bytes).result, PreParseResult::kParsed);
  std::weak_ptr<ImageBuffer> first = flash_.image;
  ASSERT_EQ(Run(samples::BuildLegacyImage(Legacy()).bytes).result, PreParseResult::kParsed);
  EXPECT_TRUE(first.expired()) << "block records must not keep the old image";
  EXPECT_EQ(flash_.table.total(), 0);
  EXPECT_EQ(flash_.snapshot.total(), 0);
  EXPECT_EQ(flash_.image_length, 0u);

  LegacyPlan plan = Legacy();
  plan.length = 524289;  // no whole number of 512 KiB
  plan.flash_size = 524289;
  EXPECT_EQ(Run(samples::BuildLegacyImage(plan).bytes).result, PreParseResult::kRefused);
  EXPECT_EQ(messages_.texts(), std::vector<std::string>{"Wrong binary file!"});
  EXPECT_EQ(flash_.bytes().size(), 524289u);
}

TEST(SampleImages, GenerationIsDeterministic) {
  const std::vector<samples::SampleFile> first = samples::GenerateAll();
  const std::vector<samples::SampleFile> second = samples::GenerateAll();
  ASSERT_EQ(first.size(), second.size());
  for (size_t i = 0; i < first.size(); ++i) {
    EXPECT_EQ(first[i].name, second[i].name);
    EXPECT_EQ(first[i].bytes, second[i].bytes) << first[i].name;
  }
}

}  // namespace
}  // namespace nuv::image
