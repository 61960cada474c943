#include "toolcfg/prepare.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "sample_toolcfg.h"
#include "test_blocks.h"

namespace nuv::toolcfg {
namespace {

namespace fs = std::filesystem;
using testing::Bytes;
using testing::MakeImage;
using Texts = std::vector<std::string>;

const char kScript[] =
    "CFGHEADER=toolcfg\n"
    "SHEETID=2\n"
    "SHEETINFO=Item][Value\n"
    "BLOCKINFO=audio]\n"
    "INDEX=21\n"
    "[volume][2][0][8][0][100];\n";

image::FlashImage ImageWithScript(std::string_view script) {
  return MakeImage(
      {{0x21, "audio", {42, 0}}, {0x40, "toolcfg", samples::GzipCompress(Bytes(script))}});
}

class PrepareTest : public ::testing::Test {
 protected:
  PrepareResult Prepare(const image::FlashImage& flash, ToolConfigSource source = {}) {
    return PrepareToolConfig(model_, flash, source, runner_, messages_);
  }
  void ExpectParsed() {
    ASSERT_EQ(model_.sheet2.blocks.size(), 1u);
    ASSERT_EQ(model_.sheet2.blocks[0].items.size(), 1u);
    EXPECT_EQ(model_.sheet2.blocks[0].items[0].number_value, 42u);
  }

  testing::PrivateRoot root_;
  CommandRunner runner_;
  RecordedMessages messages_;
  ToolConfig model_;
};

TEST_F(PrepareTest, TheEmbeddedScriptIsParsedAndItsFilesRemoved) {
  model_.sheet3.blocks.emplace_back();  // left from before: cleared first
  EXPECT_EQ(Prepare(ImageWithScript(kScript)), PrepareResult::kParsed);
  ExpectParsed();
  EXPECT_TRUE(model_.sheet3.blocks.empty());
  EXPECT_TRUE(messages_.shown().empty());
  EXPECT_FALSE(fs::exists(root_.tmp()));
}

TEST_F(PrepareTest, ExpertsOnlyInInternalModeParsesTheUsersScript) {
  const fs::path script = fs::temp_directory_path() / ("nuv-expert-" + std::to_string(getpid()));
  std::ofstream(script, std::ios::binary) << kScript;
  // The image carries no script at all: nothing is extracted.
  const image::FlashImage flash = MakeImage({{0x21, "audio", {42}}});
  EXPECT_EQ(Prepare(flash, {true, true, script.string()}), PrepareResult::kParsed);
  ExpectParsed();
  EXPECT_TRUE(fs::exists(script));  // the user's own file stays
  fs::remove(script);
  EXPECT_EQ(Prepare(flash, {true, true, script.string()}), PrepareResult::kNotParsed);
  EXPECT_EQ(messages_.texts(), Texts{"Wrong binary file, script error!"});
}

TEST_F(PrepareTest, ExpertsOnlyWithoutAScriptFile) {
  EXPECT_EQ(Prepare(ImageWithScript(kScript), {true, true, ""}), PrepareResult::kNoScriptFile);
  EXPECT_EQ(messages_.shown(), (std::vector<std::pair<BoxCaption, std::string>>{
                                   {BoxCaption::Application, "Please input a config file!"}}));
}

TEST_F(PrepareTest, ExpertsOnlyOutsideInternalModeUsesTheEmbeddedScript) {
  EXPECT_EQ(Prepare(ImageWithScript(kScript), {false, true, "/no/such/script"}),
            PrepareResult::kParsed);
  ExpectParsed();
}

TEST_F(PrepareTest, AnImageWithoutScript) {
  EXPECT_EQ(Prepare(MakeImage({{0x21, "audio", {42}}})), PrepareResult::kNotExtracted);
  EXPECT_EQ(messages_.texts(), Texts{"Wrong binary file, can not parse it!"});
}

TEST_F(PrepareTest, ABadScriptIsAScriptErrorAndLeavesNothingBehind) {
  EXPECT_EQ(Prepare(ImageWithScript("SHEETID=2\n")), PrepareResult::kNotParsed);
  EXPECT_EQ(messages_.texts(), Texts{"Wrong binary file, script error!"});
  EXPECT_FALSE(fs::exists(root_.tmp()));
}

TEST_F(PrepareTest, BytesThatAreNotGzipAreAScriptError) {
  const image::FlashImage flash = MakeImage({{0x40, "toolcfg", Bytes("plain, not packed")}});
  EXPECT_EQ(Prepare(flash), PrepareResult::kNotParsed);
  EXPECT_EQ(messages_.texts(), Texts{"Wrong binary file, script error!"});
  EXPECT_FALSE(fs::exists(root_.tmp()));  // gzip left its input; it went too
}

TEST_F(PrepareTest, AMissingGzipIsAScriptError) {
  const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
  const fs::path empty = root_.path().parent_path() / ("nuv-nogzip-" + std::to_string(getpid()));
  fs::create_directories(empty);
  setenv("PATH", empty.c_str(), 1);
  const PrepareResult result = Prepare(ImageWithScript(kScript));
  setenv("PATH", path.c_str(), 1);
  fs::remove_all(empty);
  EXPECT_EQ(result, PrepareResult::kNotParsed);
  EXPECT_EQ(messages_.texts(), Texts{"Wrong binary file, script error!"});
  EXPECT_FALSE(fs::exists(root_.tmp()));
}

TEST_F(PrepareTest, AnUnknownIndexShowsTheLookupThenTheScriptError) {
  std::string script = kScript;
  script.replace(script.find("INDEX=21"), 8, "INDEX=5A");
  EXPECT_EQ(Prepare(ImageWithScript(script)), PrepareResult::kNotParsed);
  EXPECT_EQ(messages_.texts(), (Texts{"ERROR!! can not find block id[0x5a]in dmh!",
                                      "Wrong binary file, script error!"}));
}

}  // namespace
}  // namespace nuv::toolcfg
