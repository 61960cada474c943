// Pre-Parse of generated images: reading the file, the image's values, and
// the export of the configuration region of a legacy image it loaded. A
// file too large for 32-bit positions is main_preparse_refused's (a sparse
// 5 GiB file); what the form shows of the sample images (header values,
// rows, the script row and the export section) and every refusal's message
// are the main_preparse_* and main_experts UI scripts'; here what the form
// cannot show.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/resource.h>
#include <unistd.h>
#endif

#include <fstream>

#include "image/config_export.h"
#include "image/image_file.h"
#include "image/pre_parse.h"
#include "image_builder.h"
#include "support/messages.h"
#include "test_files.h"

namespace nuv::image {
namespace {

using nuv::test::TempFolder;
using samples::BankPlan;
using samples::BlockPlan;
using samples::LegacyPlan;
using samples::NewFormatPlan;
using Bytes = std::vector<uint8_t>;

// Read or mapped, the image holds the file; the legacy flow writes to the
// loaded image, which must never reach the file.
TEST(LoadImageFile, ReadsTheWholeFileReleasesThePreviousImageAndNeverWritesTheFile) {
  const TempFolder folder;
  const std::vector<uint8_t> first = samples::PatternBytes(5 << 20, 1);
  const std::vector<uint8_t> second = samples::PatternBytes(1000, 2);
  ASSERT_TRUE(samples::WriteBytesFile(folder / "a.bin", first));
  ASSERT_TRUE(samples::WriteBytesFile(folder / "b.bin", second));
  ASSERT_TRUE(samples::WriteBytesFile(folder / "empty.bin", {}));
  for (const ImageLoading loading : {ImageLoading::kRead, ImageLoading::kMap}) {
    SCOPED_TRACE(loading == ImageLoading::kMap ? "mapped" : "read");
    FlashImage flash;
    RecordedMessages messages;
    ASSERT_EQ(LoadImageFile(flash, (folder / "a.bin").string(), messages, loading),
              LoadResult::kLoaded);
    EXPECT_TRUE(std::equal(flash.bytes().begin(), flash.bytes().end(), first.begin(), first.end()));
    flash.mutable_bytes()[7] ^= 0xFF;
    EXPECT_NE(flash.bytes()[7], first[7]);
    EXPECT_EQ(nuv::test::ReadBytes(folder / "a.bin"), first);
    flash.legacy_entries.resize(3);
    std::weak_ptr<ImageBuffer> old = flash.image;
    ASSERT_EQ(LoadImageFile(flash, (folder / "b.bin").string(), messages, loading),
              LoadResult::kLoaded);
    EXPECT_TRUE(old.expired());
    EXPECT_TRUE(flash.legacy_entries.empty());
    EXPECT_TRUE(
        std::equal(flash.bytes().begin(), flash.bytes().end(), second.begin(), second.end()));
    ASSERT_EQ(LoadImageFile(flash, (folder / "empty.bin").string(), messages, loading),
              LoadResult::kLoaded);
    EXPECT_TRUE(flash.bytes().empty());
    EXPECT_TRUE(messages.texts().empty());
  }
}

TEST(LoadImageFile, WhatIsNoRegularFileCannotBeOpened) {
  const TempFolder folder;
  // "CON" is the console on Windows, a missing file elsewhere.
  for (const std::filesystem::path& path :
       {folder / "missing.bin", folder.path(), std::filesystem::path(folder.Pipe("pipe")),
        folder / "CON"}) {
    FlashImage flash;
    RecordedMessages messages;
    EXPECT_EQ(LoadImageFile(flash, path.string(), messages), LoadResult::kNotLoaded) << path;
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"Failed to open the flash file!"});
    EXPECT_EQ(flash.image, nullptr);
  }
}

// An address-space limit is POSIX's (setrlimit); Windows has no such limit
// for a process of its own.
#ifndef _WIN32
long VirtualSizeBytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmSize:", 0) == 0)
      return std::stol(line.substr(7)) * 1024;
  return -1;
}

// Loads `path` with the address space limited to a few MiB more than is
// in use: 0 when that shows "no memery!" and leaves no image. Run it in a
// child process only, so that the limit ends with it.
int LoadWithoutMemory(const std::string& path) {
  FlashImage flash;
  RecordedMessages messages;
  const long now = VirtualSizeBytes();
  const auto cap = static_cast<rlim_t>(now + (8 << 20));
  const rlimit limit{cap, cap};
  if (now < 0 || setrlimit(RLIMIT_AS, &limit) != 0)
    return 2;
  const LoadResult loaded = LoadImageFile(flash, path, messages);
  const bool shown = messages.texts() == std::vector<std::string>{"no memery!"};
  return loaded == LoadResult::kNotLoaded && shown && flash.image == nullptr ? 0 : 1;
}

TEST(LoadImageFile, NoMemoryForTheBufferLeavesNoImage) {
  const TempFolder folder;
  const std::string path = (folder / "big.bin").string();
  ASSERT_TRUE(samples::WriteBytesFile(path, {}));
  ASSERT_EQ(truncate(path.c_str(), 64 << 20), 0);
  EXPECT_EXIT(std::_Exit(LoadWithoutMemory(path)), ::testing::ExitedWithCode(0), "");
}
#endif

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

  TempFolder folder_;
  FlashImage flash_;
  RecordedMessages messages_;
};

// One image after the other in the same page, as a user opens them: each
// fills the image's values, and a refused one stays loaded.
TEST_F(PreParseTest, EachImageReplacesTheLastOnesValuesAndARefusedOneStaysLoaded) {
  PreParseOutcome outcome = Run(samples::BuildNewFormatImage(TwoBanks()).bytes);
  ASSERT_EQ(outcome.result, PreParseResult::kParsed) << ::testing::PrintToString(messages_.texts());
  EXPECT_TRUE(messages_.texts().empty());
  EXPECT_EQ(outcome.kind, ImageKind::NewFormat);
  EXPECT_EQ(flash_.kind, ImageKind::NewFormat);
  EXPECT_EQ(flash_.image_length, 0x100000u);
  EXPECT_EQ(flash_.software_version, "V2.05.0007-ABCDE");
  EXPECT_EQ(flash_.script_path, Folder() + "V2.05.0007-ABCDE");
  EXPECT_FALSE(flash_.expert);
  std::weak_ptr<ImageBuffer> first = flash_.image;

  outcome = Run(samples::BuildLegacyImage(Legacy()).bytes);
  ASSERT_EQ(outcome.result, PreParseResult::kParsed) << ::testing::PrintToString(messages_.texts());
  EXPECT_TRUE(first.expired()) << "block records must not keep the old image";
  EXPECT_EQ(outcome.kind, ImageKind::Legacy);
  EXPECT_EQ(flash_.kind, ImageKind::Legacy);
  EXPECT_EQ(flash_.image_length, 0u);
  EXPECT_EQ(flash_.dmh_offset, 0x1000u);
  EXPECT_EQ(flash_.config_length, 0x80u);
  ASSERT_EQ(flash_.legacy_entries.size(), 3u);
  EXPECT_EQ(flash_.legacy_entries[2].tail_flag(), 1);
  EXPECT_EQ(flash_.table.total(), 0);
  EXPECT_EQ(flash_.snapshot.total(), 0);
  EXPECT_EQ(flash_.software_version, "END7") << "cut at the image end";
  EXPECT_EQ(flash_.script_path, Folder() + "END7");

  LegacyPlan plan = Legacy();
  plan.length = 524289;  // no whole number of 512 KiB
  plan.flash_size = 524289;
  EXPECT_EQ(Run(samples::BuildLegacyImage(plan).bytes).result, PreParseResult::kRefused);
  EXPECT_EQ(messages_.texts(), std::vector<std::string>{"Wrong binary file!"});
  EXPECT_EQ(flash_.bytes().size(), 524289u);
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

// Export of a legacy image's configuration region. The refusal without a
// path, a missing output folder and the bytes of a first and a repeated
// export are main_export's; here the rest of what must hold.
class ExportConfigTest : public PreParseTest {
 protected:
  void SetUp() override {
    ASSERT_EQ(Run(samples::BuildLegacyImage(Legacy()).bytes).result, PreParseResult::kParsed);
  }
  // No temporary file of a write is left beside the output.
  bool NoLeftovers() {
    for (const auto& entry : std::filesystem::directory_iterator(folder_.path()))
      if (entry.path().filename().string().find(".bin.") != std::string::npos)
        return false;
    return true;
  }
};

TEST_F(ExportConfigTest, WritesTheRegionAtTheOffsetWordOfNowAndKeepsTheFilesMode) {
  const std::filesystem::path out = folder_ / "out.bin";
  ASSERT_TRUE(samples::WriteBytesFile(out, samples::PatternBytes(5000, 1)));
  const auto kept = std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                    std::filesystem::perms::group_read;
  std::filesystem::permissions(out, kept);
  // The legacy flow may change image bytes before Export: 0x100 becomes 0x110.
  flash_.mutable_bytes()[28] = 0x10;
  ASSERT_EQ(ExportConfigRegion(flash_, out.string(), messages_), ExportRegionResult::kExported);
  EXPECT_TRUE(messages_.texts().empty());
  const Bytes got = nuv::test::ReadBytes(out);
  const Bytes config = Legacy().config;
  ASSERT_EQ(got.size(), config.size());
  EXPECT_TRUE(std::equal(config.begin() + 0x10, config.end(), got.begin()));
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
