// The tool-config samples, written as files, pre-parsed and parsed the way
// the Parse command does it: real files, real gzip.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "image/pre_parse.h"
#include "image_builder.h"
#include "sample_toolcfg.h"
#include "test_blocks.h"
#include "toolcfg/prepare.h"

namespace nuv::toolcfg {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

class SampleTest : public ::testing::Test {
 protected:
  void SetUp() override { samples::GenerateToolConfigSamples(files_); }

  // Pre-parses the sample `name` and prepares its tool config.
  PrepareResult Prepare(const std::string& name) {
    for (const samples::SampleFile& file : files_) {
      if (file.name != "toolcfg/" + name)
        continue;
      const fs::path path =
          root_.path().parent_path() / ("nuv-sample-" + std::to_string(getpid()) + "-" + name);
      EXPECT_TRUE(samples::WriteBytesFile(path, file.bytes));
      const image::PreParseOutcome outcome = image::PreParse(flash_, {path.string()}, messages_);
      fs::remove(path);
      EXPECT_TRUE(outcome.ok) << ::testing::PrintToString(messages_.texts());
      EXPECT_EQ(outcome.kind, image::ImageKind::NewFormat);
      return PrepareToolConfig(model_, flash_, {}, runner_, messages_);
    }
    ADD_FAILURE() << "no sample " << name;
    return PrepareResult::kNotExtracted;
  }

  const ConfigItem& Item(const ToolConfigSheet& sheet, size_t block, size_t item) {
    return sheet.blocks.at(block).items.at(item);
  }

  void ExpectTheSampleValues() {
    ASSERT_EQ(model_.sheet2.blocks.size(), 1u);
    EXPECT_EQ(model_.sheet2.columns.size(), 5u);
    EXPECT_EQ(model_.sheet2.blocks[0].items.size(), 4u);
    EXPECT_EQ(Item(model_.sheet2, 0, 0).number_value, samples::kSamplePowerKey);
    EXPECT_EQ(Item(model_.sheet2, 0, 0).description, "Power key");
    EXPECT_EQ(Item(model_.sheet2, 0, 3).number_value, samples::kSampleCustomCode);
    EXPECT_EQ(Item(model_.sheet2, 0, 3).max, 4095);

    ASSERT_EQ(model_.sheet3.blocks.size(), 2u);
    const ConfigBlock& sysconf = model_.sheet3.blocks[0];
    EXPECT_EQ(sysconf.block_id, 0x21);
    EXPECT_EQ(sysconf.start_offset, 4);
    ASSERT_EQ(sysconf.items.size(), 5u);
    EXPECT_EQ(sysconf.items[0].number_value, 1u);
    EXPECT_EQ(sysconf.items[1].number_value, samples::kSampleVolume);
    EXPECT_EQ(sysconf.items[2].number_value, samples::kSampleChannel);
    EXPECT_EQ(sysconf.items[2].min, 1);
    EXPECT_EQ(sysconf.items[3].number_value, samples::kSampleSerial);
    EXPECT_EQ(sysconf.items[4].text_value, samples::kSampleRegion);
    EXPECT_EQ(sysconf.items[4].description, "Region code");
    EXPECT_EQ(Item(model_.sheet3, 1, 0).text_value, samples::kSampleWelcome);
    EXPECT_EQ(Item(model_.sheet3, 1, 1).number_value, 2u);

    ASSERT_EQ(model_.sheet4.blocks.size(), 2u);
    EXPECT_EQ(model_.sheet4.blocks[0].em, 3);
    EXPECT_EQ(model_.sheet4.blocks[1].em, 2);
    EXPECT_EQ(model_.sheet4.blocks[1].block_id, 0x25);
    EXPECT_TRUE(messages_.shown().empty()) << ::testing::PrintToString(messages_.texts());
    EXPECT_FALSE(fs::exists(root_.tmp()));
  }

  std::vector<samples::SampleFile> files_;
  testing::PrivateRoot root_;
  image::FlashImage flash_;
  CommandRunner runner_;
  RecordedMessages messages_;
  ToolConfig model_;
};

TEST_F(SampleTest, OneBank) {
  ASSERT_EQ(Prepare("new-toolcfg.bin"), PrepareResult::kParsed);
  ExpectTheSampleValues();
}

TEST_F(SampleTest, TheConfigurationInASecondBank) {
  ASSERT_EQ(Prepare("new-toolcfg-two-banks.bin"), PrepareResult::kParsed);
  ExpectTheSampleValues();
}

TEST_F(SampleTest, RefusedSamples) {
  EXPECT_EQ(Prepare("new-toolcfg-not-gzip.bin"), PrepareResult::kNotParsed);
  EXPECT_EQ(Prepare("new-toolcfg-unknown-index.bin"), PrepareResult::kNotParsed);
  EXPECT_EQ(Prepare("new-toolcfg-no-header.bin"), PrepareResult::kNotParsed);
  EXPECT_EQ(Prepare("new-no-toolcfg.bin"), PrepareResult::kNotExtracted);
  EXPECT_EQ(messages_.texts(),
            (Texts{"Wrong binary file, script error!", "ERROR!! can not find block id[0x7e]in dmh!",
                   "Wrong binary file, script error!", "Wrong binary file, script error!",
                   "Wrong binary file, can not parse it!"}));
  EXPECT_FALSE(fs::exists(root_.tmp()));
}

}  // namespace
}  // namespace nuv::toolcfg
