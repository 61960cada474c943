#include "toolcfg/extract.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "sample_toolcfg.h"
#include "test_blocks.h"
#include "test_files.h"

namespace nuv::toolcfg {
namespace {

using enum ExtractResult;

namespace fs = std::filesystem;
using test::ReadText;
using testing::MakeImage;

std::vector<uint8_t> Gzip(std::string_view text) {
  return samples::GzipCompress(testing::TextBytes(text));
}

void WriteText(const fs::path& path, std::string_view text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

class ExtractTest : public ::testing::Test {
 protected:
  ExtractResult Extract(const image::FlashImage& flash) {
    return ExtractToolConfig(flash, runner_, messages_);
  }
  fs::path Script() const { return root_.tmp() / "script-qv.cfg"; }
  fs::path Compressed() const { return root_.tmp() / "script-qv.cfg.gz"; }

  testing::PrivateRoot root_;
  CommandRunner runner_;
  RecordedMessages messages_;
};

TEST_F(ExtractTest, TheFirstToolcfgBlockIsUnpackedByGzipFromItsCurrentData) {
  WriteText(Compressed(), "old compressed bytes");  // left by an earlier run
  WriteText(Script(), "CFGHEADER=toolcfg\nstale script\n");
  const std::string script(5000, 'S');
  // Only 7 characters are compared: "toolcfgX" counts, and comes first.
  image::FlashImage flash = MakeImage({{0x10, "toolcf", Gzip("not this")},
                                       {0x40, "toolcfgX", Gzip("as loaded")},
                                       {0x41, "toolcfg", Gzip("nor this")}});
  // A Save New Flash that moved the block: the loaded image holds something
  // else where the working table now places it.
  image::BlockRecord& block = flash.table.records[1];
  block.data.Replace(Gzip(script));
  block.entry.set_size(static_cast<uint32_t>(block.data.size()));
  block.entry.set_offset(block.entry.offset() + 0x100);
  ASSERT_EQ(Extract(flash), kExtracted) << ::testing::PrintToString(messages_.texts());
  EXPECT_FALSE(runner_.IsRunning());
  EXPECT_EQ(ReadText(Script()), script);
  EXPECT_FALSE(fs::exists(Compressed()));  // gzip consumed it
  EXPECT_TRUE(messages_.shown().empty());
}

TEST_F(ExtractTest, NoToolcfgBlockTouchesNothing) {
  EXPECT_EQ(Extract(MakeImage({})), kNoToolConfigBlock);
  EXPECT_EQ(Extract(MakeImage({{0x40, "xtoolcfg", Gzip("a")}, {0x41, "Toolcfg", {}}})),
            kNoToolConfigBlock);
  EXPECT_FALSE(fs::exists(root_.tmp()));
  EXPECT_TRUE(messages_.shown().empty());
}

TEST_F(ExtractTest, WhatCannotBeWrittenIsAShortWriteThatSaysWhy) {
  const image::FlashImage sound = MakeImage({{0x40, "toolcfg", Gzip("x")}});
  fs::remove_all(root_.tmp());
  WriteText(root_.tmp(), "a file where the folder should be");
  EXPECT_EQ(Extract(sound), kNotWritten);
  EXPECT_EQ(messages_.texts().at(0).rfind("Cannot write D:\\tmp\\script-qv.cfg.gz (", 0), 0u);
#ifndef _WIN32  // modes are POSIX's; on Windows the folder's access list guards it
  fs::permissions(root_.path(), fs::perms::owner_all | fs::perms::group_read |
                                    fs::perms::group_exec | fs::perms::others_read |
                                    fs::perms::others_exec);  // 0755: open to others
  EXPECT_EQ(Extract(sound), kNotWritten);
  const std::vector<std::string> texts = messages_.texts();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_NE(texts[1].find("0700"), std::string::npos) << texts[1];
#endif
}

// An empty block still runs gzip, which leaves no script; the removal takes
// the folder too then, and beside someone else's file only its own two.
TEST_F(ExtractTest, AnEmptyBlockGivesNoScriptAndTheRemovalTakesOnlyWhatTheExtractionMade) {
  RemoveExtractedToolConfig();  // nothing there: nothing happens
  ASSERT_EQ(Extract(MakeImage({{0x40, "toolcfg", {}}})), kExtracted);
  EXPECT_FALSE(fs::exists(Script()));
  ASSERT_TRUE(fs::exists(Compressed()));
  EXPECT_EQ(fs::file_size(Compressed()), 0u);
  RemoveExtractedToolConfig();
  EXPECT_FALSE(fs::exists(root_.tmp()));

  WriteText(Script(), "s");
  WriteText(Compressed(), "z");
  WriteText(root_.tmp() / "someone-else", "kept");
  RemoveExtractedToolConfig();
  EXPECT_FALSE(fs::exists(Script()));
  EXPECT_FALSE(fs::exists(Compressed()));
  EXPECT_EQ(ReadText(root_.tmp() / "someone-else"), "kept");  // and so is the folder
  fs::remove(root_.tmp() / "someone-else");
  WriteText(Script() / "inside", "a folder cannot be removed as a file");
  EXPECT_THROW(RemoveExtractedToolConfig(), FileError);
}

}  // namespace
}  // namespace nuv::toolcfg
