#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <iterator>

#include "image/config_export.h"
#include "image/pre_parse.h"
#include "image_builder.h"
#include "support/messages.h"
#include "temp_folder.h"

namespace nuv::image {
namespace {

class ExportConfigTest : public testing::TempFolder {
 protected:
  void SetUp() override {
    TempFolder::SetUp();
    samples::LegacyPlan plan;
    plan.config_offset = 0x300;
    plan.config = samples::PatternBytes(0x200, 11);
    config_ = plan.config;
    ASSERT_TRUE(samples::WriteBytesFile(Path("image.bin"), samples::BuildLegacyImage(plan).bytes));
    RecordedMessages messages;
    ASSERT_TRUE(PreParse(flash_, {.source_path = Path("image.bin")}, messages).ok);
  }
  std::vector<uint8_t> Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  bool NoLeftovers() {
    for (const auto& entry : std::filesystem::directory_iterator(folder()))
      if (entry.path().filename().string().find(".bin.") != std::string::npos)
        return false;
    return true;
  }

  FlashImage flash_;
  std::vector<uint8_t> config_;
  RecordedMessages messages_;
};

TEST_F(ExportConfigTest, WritesTheRegionAndReplacesAnExistingFileKeepingItsMode) {
  const std::string out = Path("out.bin");
  ASSERT_TRUE(samples::WriteBytesFile(out, samples::PatternBytes(5000, 1)));
  ASSERT_EQ(chmod(out.c_str(), 0640), 0);
  ASSERT_TRUE(ExportConfigRegion(flash_, out, messages_));
  EXPECT_TRUE(messages_.texts().empty());
  EXPECT_EQ(Contents(out), config_);
  struct stat info {};
  ASSERT_EQ(stat(out.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  EXPECT_TRUE(NoLeftovers());
}

TEST_F(ExportConfigTest, ReadsTheOffsetWordWhenItRuns) {
  // The legacy flow may change image bytes before Export.
  std::span<uint8_t> bytes = flash_.mutable_bytes();
  bytes[28] = 0x10;
  bytes[29] = 0x03;  // 0x310
  ASSERT_TRUE(ExportConfigRegion(flash_, Path("out.bin"), messages_));
  const std::vector<uint8_t> got = Contents(Path("out.bin"));
  ASSERT_EQ(got.size(), 0x200u);
  EXPECT_TRUE(std::equal(config_.begin() + 0x10, config_.end(), got.begin()));
}

TEST_F(ExportConfigTest, EmptyPathAndRegionOutsideAreRefusedAndTouchNothing) {
  EXPECT_FALSE(ExportConfigRegion(flash_, "", messages_));
  EXPECT_EQ(messages_.texts(), std::vector<std::string>{"Please select a file to be exported!"});

  const std::string out = Path("out.bin");
  const std::vector<uint8_t> before = samples::PatternBytes(77, 2);
  ASSERT_TRUE(samples::WriteBytesFile(out, before));
  std::span<uint8_t> bytes = flash_.mutable_bytes();
  bytes[28] = bytes[29] = bytes[30] = bytes[31] = 0xFF;
  messages_.clear();
  EXPECT_FALSE(ExportConfigRegion(flash_, out, messages_));
  EXPECT_EQ(messages_.texts(),
            std::vector<std::string>{"The configuration region lies outside the image!"});
  EXPECT_EQ(Contents(out), before);

  FlashImage nothing;
  messages_.clear();
  EXPECT_FALSE(ExportConfigRegion(nothing, out, messages_));
  EXPECT_EQ(messages_.texts(),
            std::vector<std::string>{"The configuration region lies outside the image!"});
}

TEST_F(ExportConfigTest, AFailedWriteSaysSoAndLeavesNoTemporaryFile) {
  for (const std::string& out : {Path("no/such/folder/out.bin"), folder().string(), Path("d/")}) {
    messages_.clear();
    EXPECT_FALSE(ExportConfigRegion(flash_, out, messages_)) << out;
    EXPECT_EQ(messages_.texts(), std::vector<std::string>{"Failed to write the output file!"});
  }
  EXPECT_TRUE(std::filesystem::is_directory(folder()));
  EXPECT_TRUE(NoLeftovers());
}

}  // namespace
}  // namespace nuv::image
