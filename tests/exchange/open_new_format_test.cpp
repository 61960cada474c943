// A tool-config sample pre-parsed and prepared the way the Parse command
// does it, without the gzip it needs. Parse itself is the newfmt_parse_* UI
// scripts, the values it gives the round trips of the command-line test.
#include "exchange/open_new_format.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "exchange_test_support.h"
#include "image/pre_parse.h"
#include "sample_toolcfg.h"
#include "test_blocks.h"

namespace nuv::exchange {
namespace {

TEST(PrepareTest, AMissingGzipIsAScriptErrorThatNamesItAndLeavesNothingBehind) {
  toolcfg::testing::PrivateRoot root;
  std::vector<samples::SampleFile> files;
  samples::GenerateToolConfigSamples(files);
  const auto sample = std::find_if(files.begin(), files.end(), [](const samples::SampleFile& f) {
    return f.name == "toolcfg/new-toolcfg.bin";
  });
  ASSERT_NE(sample, files.end());
  const std::filesystem::path path = root.path().parent_path() / "sample.bin",
                              empty = root.path().parent_path() / "no-gzip";
  ASSERT_TRUE(samples::WriteBytesFile(path, sample->bytes));
  std::filesystem::create_directories(empty);
  image::FlashImage flash;
  RecordedMessages messages;
  ASSERT_EQ(image::PreParse(flash, {path.string()}, messages).result,
            image::PreParseResult::kParsed);
  test::ScopedEnv no_gzip("PATH", empty.string());
  CommandRunner runner;
  toolcfg::ToolConfig model;
  EXPECT_EQ(PrepareToolConfig(model, flash, {}, runner, messages), PrepareResult::kNotParsed);
  EXPECT_EQ(messages.texts(),
            (std::vector<std::string>{
                "Wrong binary file, script error!",
                "gzip.exe could not be started: " +
                    test::ProgramNotFound(testing::kGzipProgram, empty.string()) + "."}));
  EXPECT_FALSE(std::filesystem::exists(root.tmp()));
}

}  // namespace
}  // namespace nuv::exchange
