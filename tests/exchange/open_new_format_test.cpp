// The tool-config samples, written as files, pre-parsed and prepared the
// way the Parse command does it: real files, real gzip. The refused samples
// and the expert's own script are the newfmt_parse_* UI scripts.
#include "exchange/open_new_format.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "image/pre_parse.h"
#include "sample_toolcfg.h"
#include "test_blocks.h"

namespace nuv::exchange {
namespace {

namespace fs = std::filesystem;

class PrepareTest : public ::testing::Test {
 protected:
  // Pre-parses the sample `name` and prepares its tool config.
  PrepareResult Prepare(const std::string& name) {
    std::vector<samples::SampleFile> files;
    samples::GenerateToolConfigSamples(files);
    for (const samples::SampleFile& file : files) {
      if (file.name != "toolcfg/" + name)
        continue;
      const fs::path path =
          root_.path().parent_path() / ("nuv-sample-" + std::to_string(getpid()) + "-" + name);
      EXPECT_TRUE(samples::WriteBytesFile(path, file.bytes));
      const image::PreParseOutcome outcome = image::PreParse(flash_, {path.string()}, messages_);
      fs::remove(path);
      EXPECT_EQ(outcome.result, image::PreParseResult::kParsed)
          << ::testing::PrintToString(messages_.texts());
      return PrepareToolConfig(model_, flash_, {}, runner_, messages_);
    }
    ADD_FAILURE() << "no sample " << name;
    return PrepareResult::kNotExtracted;
  }

  toolcfg::testing::PrivateRoot root_;
  image::FlashImage flash_;
  CommandRunner runner_;
  RecordedMessages messages_;
  toolcfg::ToolConfig model_;
};

TEST_F(PrepareTest, TheSamplesInOneBankAndInTheSecondOfTwoGiveTheirValues) {
  for (const char* name : {"new-toolcfg.bin", "new-toolcfg-two-banks.bin"}) {
    SCOPED_TRACE(name);
    model_.sheet3.blocks.emplace_back();  // left from before: cleared first
    ASSERT_EQ(Prepare(name), PrepareResult::kParsed);
    EXPECT_TRUE(messages_.shown().empty()) << ::testing::PrintToString(messages_.texts());
    EXPECT_FALSE(fs::exists(root_.tmp()));

    // The script's own parse is the parser's tests; here what shows it came
    // out whole: values across bytes, a text, and the last sheet's blocks.
    ASSERT_EQ(model_.sheet2.blocks.size(), 1u);
    EXPECT_EQ(model_.sheet2.blocks[0].items.at(3).number_value, samples::kSampleCustomCode);
    ASSERT_EQ(model_.sheet3.blocks.size(), 2u);
    const toolcfg::ConfigBlock& sysconf = model_.sheet3.blocks[0];
    EXPECT_EQ(sysconf.block_id, 0x21);
    EXPECT_EQ(sysconf.start_offset, 4);
    ASSERT_EQ(sysconf.items.size(), 5u);
    EXPECT_EQ(sysconf.items[2].number_value, samples::kSampleChannel);
    EXPECT_EQ(sysconf.items[3].number_value, samples::kSampleSerial);
    EXPECT_EQ(sysconf.items[4].text_value, samples::kSampleRegion);
    EXPECT_EQ(sysconf.items[4].description, "Region code");
    ASSERT_EQ(model_.sheet4.blocks.size(), 2u);
    EXPECT_EQ(model_.sheet4.blocks[1].em, 2);
    EXPECT_EQ(model_.sheet4.blocks[1].block_id, 0x25);
  }
}

TEST_F(PrepareTest, AMissingGzipIsAScriptErrorThatNamesItAndLeavesNothingBehind) {
  const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
  const fs::path empty = root_.path().parent_path() / ("nuv-nogzip-" + std::to_string(getpid()));
  fs::create_directories(empty);
  setenv("PATH", empty.string().c_str(), 1);
  const PrepareResult result = Prepare("new-toolcfg.bin");
  setenv("PATH", path.c_str(), 1);
  fs::remove_all(empty);
  EXPECT_EQ(result, PrepareResult::kNotParsed);
  EXPECT_EQ(messages_.texts(),
            (std::vector<std::string>{"Wrong binary file, script error!",
                                      "gzip.exe could not be started: no program named \"gzip\" "
                                      "was found on PATH (" +
                                          empty.string() + ")."}));
  EXPECT_FALSE(fs::exists(root_.tmp()));
}

}  // namespace
}  // namespace nuv::exchange
