#include "toolcfg/extract.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "sample_toolcfg.h"
#include "test_blocks.h"

namespace nuv::toolcfg {
namespace {

namespace fs = std::filesystem;
using testing::Bytes;
using testing::MakeImage;

std::vector<uint8_t> Gzip(std::string_view text) {
  return samples::GzipCompress(Bytes(text));
}

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteText(const fs::path& path, std::string_view text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

class ExtractTest : public ::testing::Test {
 protected:
  fs::path Script() const { return root_.tmp() / "script-qv.cfg"; }
  fs::path Compressed() const { return root_.tmp() / "script-qv.cfg.gz"; }

  testing::PrivateRoot root_;
  CommandRunner runner_;
  RecordedMessages messages_;
};

TEST_F(ExtractTest, TheFirstToolcfgBlockIsUnpackedByGzip) {
  const std::string script = "CFGHEADER=toolcfg\nSHEETID=2\n";
  // Only 7 characters are compared: "toolcfgX" counts, and comes first.
  const image::FlashImage flash = MakeImage({{0x10, "toolcf", Gzip("not this")},
                                             {0x40, "toolcfgX", Gzip(script)},
                                             {0x41, "toolcfg", Gzip("nor this")}});
  ASSERT_EQ(ExtractToolConfig(flash, runner_, messages_), kToolConfigOk);
  EXPECT_FALSE(runner_.IsRunning());
  EXPECT_EQ(ReadText(Script()), script);
  EXPECT_FALSE(fs::exists(Compressed()));  // gzip consumed it
  EXPECT_TRUE(messages_.shown().empty());
}

TEST_F(ExtractTest, TheBytesComeFromTheLoadedImageNotTheRecordsCopy) {
  const std::string script(5000, 'S');
  image::FlashImage flash = MakeImage({{0x40, "toolcfg", Gzip(script)}});
  flash.table.records[0].data.Replace(Bytes("changed since"));
  ASSERT_EQ(ExtractToolConfig(flash, runner_, messages_), kToolConfigOk);
  EXPECT_EQ(ReadText(Script()), script);
}

TEST_F(ExtractTest, NoToolcfgBlockTouchesNothing) {
  const image::FlashImage empty = MakeImage({});
  EXPECT_EQ(ExtractToolConfig(empty, runner_, messages_), kNoToolConfigBlock);
  const image::FlashImage other = MakeImage({{0x40, "xtoolcfg", Gzip("a")}, {0x41, "Toolcfg", {}}});
  EXPECT_EQ(ExtractToolConfig(other, runner_, messages_), kNoToolConfigBlock);
  EXPECT_FALSE(fs::exists(root_.tmp()));
  EXPECT_TRUE(messages_.shown().empty());
}

TEST_F(ExtractTest, AnEmptyBlockStillRunsGzipWhichLeavesNoScript) {
  const image::FlashImage flash = MakeImage({{0x40, "toolcfg", {}}});
  ASSERT_EQ(ExtractToolConfig(flash, runner_, messages_), kToolConfigOk);
  EXPECT_FALSE(fs::exists(Script()));
  ASSERT_TRUE(fs::exists(Compressed()));
  EXPECT_EQ(fs::file_size(Compressed()), 0u);
  RemoveExtractedToolConfig();
  EXPECT_FALSE(fs::exists(root_.tmp()));
}

TEST_F(ExtractTest, LeftoversOfAnEarlierRunAreReplaced) {
  WriteText(Compressed(), "old compressed bytes");
  WriteText(Script(), "CFGHEADER=toolcfg\nstale script\n");
  const image::FlashImage flash = MakeImage({{0x40, "toolcfg", Gzip("fresh script\n")}});
  ASSERT_EQ(ExtractToolConfig(flash, runner_, messages_), kToolConfigOk)
      << ::testing::PrintToString(messages_.texts());
  EXPECT_EQ(ReadText(Script()), "fresh script\n");
}

TEST_F(ExtractTest, ABlockOutsideTheImageIsRefused) {
  image::FlashImage flash = MakeImage({{0x40, "toolcfg", Gzip("x")}});
  flash.table.records[0].entry.set_size(0x7FFFFFFF);
  EXPECT_EQ(ExtractToolConfig(flash, runner_, messages_), kShortWrite);
  EXPECT_EQ(messages_.texts(),
            std::vector<std::string>{
                "The toolcfg block lies outside the image; its script cannot be unpacked!"});
  EXPECT_FALSE(fs::exists(Compressed()));
}

TEST_F(ExtractTest, AFileThatCannotBeCreatedIsAShortWrite) {
  WriteText(root_.tmp(), "a file where the folder should be");
  const image::FlashImage flash = MakeImage({{0x40, "toolcfg", Gzip("x")}});
  EXPECT_EQ(ExtractToolConfig(flash, runner_, messages_), kShortWrite);
  ASSERT_EQ(messages_.texts().size(), 1u);
  EXPECT_EQ(messages_.texts()[0].rfind("Cannot write D:\\tmp\\script-qv.cfg.gz (", 0), 0u);
}

TEST_F(ExtractTest, AnUnusablePrivateRootIsReported) {
  fs::permissions(root_.path(), fs::perms::all, fs::perm_options::replace);  // open to others
  const image::FlashImage flash = MakeImage({{0x40, "toolcfg", Gzip("x")}});
  EXPECT_EQ(ExtractToolConfig(flash, runner_, messages_), kShortWrite);
  ASSERT_EQ(messages_.texts().size(), 1u);
  EXPECT_NE(messages_.texts()[0].find("0700"), std::string::npos);
}

TEST(RemoveExtractedToolConfig, RemovesOnlyWhatTheExtractionMade) {
  testing::PrivateRoot root;
  RemoveExtractedToolConfig();  // nothing there: nothing happens
  WriteText(root.tmp() / "script-qv.cfg", "s");
  WriteText(root.tmp() / "script-qv.cfg.gz", "z");
  WriteText(root.tmp() / "someone-else", "kept");
  RemoveExtractedToolConfig();
  EXPECT_FALSE(fs::exists(root.tmp() / "script-qv.cfg"));
  EXPECT_FALSE(fs::exists(root.tmp() / "script-qv.cfg.gz"));
  EXPECT_EQ(ReadText(root.tmp() / "someone-else"), "kept");  // and so is the folder
  fs::remove(root.tmp() / "someone-else");
  WriteText(root.tmp() / "script-qv.cfg" / "inside", "a folder cannot be removed as a file");
  EXPECT_THROW(RemoveExtractedToolConfig(), FileError);
}

}  // namespace
}  // namespace nuv::toolcfg
