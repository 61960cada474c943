// Export of a legacy image's configuration region. The refusal without a
// path, a missing output folder and the bytes of a first and a repeated
// export are main_export's; here the rest of what must hold.
#include <gtest/gtest.h>

#include "image/config_export.h"
#include "image/pre_parse.h"
#include "image_builder.h"
#include "support/messages.h"
#include "test_files.h"

namespace nuv::image {
namespace {

using Bytes = std::vector<uint8_t>;

class ExportConfigTest : public ::testing::Test {
 protected:
  void SetUp() override {
    samples::LegacyPlan plan;
    plan.config_offset = 0x300;
    plan.config = config_ = samples::PatternBytes(0x200, 11);
    ASSERT_TRUE(
        samples::WriteBytesFile(folder_ / "image.bin", samples::BuildLegacyImage(plan).bytes));
    RecordedMessages messages;
    ASSERT_EQ(PreParse(flash_, {.source_path = (folder_ / "image.bin").string()}, messages).result,
              PreParseResult::kParsed);
  }
  // No temporary file of a write is left beside the output.
  bool NoLeftovers() {
    for (const auto& entry : std::filesystem::directory_iterator(folder_.path()))
      if (entry.path().filename().string().find(".bin.") != std::string::npos)
        return false;
    return true;
  }

  nuv::test::TempFolder folder_;
  FlashImage flash_;
  Bytes config_;
  RecordedMessages messages_;
};

TEST_F(ExportConfigTest, WritesTheRegionAtTheOffsetWordOfNowAndKeepsTheFilesMode) {
  const std::filesystem::path out = folder_ / "out.bin";
  ASSERT_TRUE(samples::WriteBytesFile(out, samples::PatternBytes(5000, 1)));
  const auto kept = std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                    std::filesystem::perms::group_read;
  std::filesystem::permissions(out, kept);
  // The legacy flow may change image bytes before Export: 0x300 becomes 0x310.
  flash_.mutable_bytes()[28] = 0x10;
  ASSERT_EQ(ExportConfigRegion(flash_, out.string(), messages_), ExportRegionResult::kExported);
  EXPECT_TRUE(messages_.texts().empty());
  const Bytes got = nuv::test::ReadBytes(out);
  ASSERT_EQ(got.size(), 0x200u);
  EXPECT_TRUE(std::equal(config_.begin() + 0x10, config_.end(), got.begin()));
#ifndef _WIN32  // modes are POSIX's
  EXPECT_EQ(std::filesystem::status(out).permissions(), kept);
#endif
  EXPECT_TRUE(NoLeftovers());
}

TEST_F(ExportConfigTest, ARefusalSaysWhyAndLeavesFilesAsTheyWere) {
  const std::filesystem::path out = folder_ / "out.bin";
  const Bytes before = samples::PatternBytes(77, 2);
  ASSERT_TRUE(samples::WriteBytesFile(out, before));
  for (const std::string& path : {(folder_ / "no/such/folder/out.bin").string(),
                                  folder_.path().string(), (folder_ / "d/").string()})
    EXPECT_EQ(ExportConfigRegion(flash_, path, messages_), ExportRegionResult::kNotExported)
        << path;
  EXPECT_TRUE(std::filesystem::is_directory(folder_.path()));
  const std::span<uint8_t> bytes = flash_.mutable_bytes();
  std::fill(bytes.begin() + 28, bytes.begin() + 32, 0xFF);
  EXPECT_EQ(ExportConfigRegion(flash_, out.string(), messages_), ExportRegionResult::kNotExported);
  EXPECT_EQ(ExportConfigRegion(FlashImage{}, out.string(), messages_),
            ExportRegionResult::kNotExported);
  EXPECT_EQ(nuv::test::ReadBytes(out), before);
  EXPECT_TRUE(NoLeftovers());
  const std::string failed = "Failed to write the output file!",
                    folder = "Cannot write \"" + folder_.path().string() +
                             "\": it is a folder, not a file.",
                    outside = "The configuration region lies outside the image!";
  EXPECT_EQ(messages_.texts(), (std::vector{failed, folder, failed, outside, outside}));
}

}  // namespace
}  // namespace nuv::image
