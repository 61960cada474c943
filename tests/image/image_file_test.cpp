#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "image/image_file.h"
#include "image_builder.h"
#include "support/messages.h"
#include "temp_folder.h"

namespace nuv::image {
namespace {

class LoadImageFileTest : public testing::TempFolder {};

TEST_F(LoadImageFileTest, ReadsTheWholeFileAndReleasesThePreviousImage) {
  const std::vector<uint8_t> first = samples::PatternBytes(5 << 20, 1);
  const std::vector<uint8_t> second = samples::PatternBytes(1000, 2);
  ASSERT_TRUE(samples::WriteBytesFile(Path("a.bin"), first));
  ASSERT_TRUE(samples::WriteBytesFile(Path("b.bin"), second));
  FlashImage flash;
  RecordedMessages messages;
  ASSERT_TRUE(LoadImageFile(flash, Path("a.bin"), messages));
  EXPECT_TRUE(std::equal(flash.bytes().begin(), flash.bytes().end(), first.begin(), first.end()));
  flash.legacy_entries.resize(3);
  std::weak_ptr<ImageBuffer> old = flash.image;
  ASSERT_TRUE(LoadImageFile(flash, Path("b.bin"), messages));
  EXPECT_TRUE(old.expired());
  EXPECT_TRUE(flash.legacy_entries.empty());
  EXPECT_TRUE(std::equal(flash.bytes().begin(), flash.bytes().end(), second.begin(), second.end()));
  EXPECT_TRUE(messages.texts().empty());
}

TEST_F(LoadImageFileTest, WhatIsNoRegularFileCannotBeOpened) {
  ASSERT_EQ(mkfifo(Path("pipe").c_str(), 0600), 0);
  for (const std::string& path : {Path("missing.bin"), folder().string(), Path("pipe")}) {
    FlashImage flash;
    RecordedMessages messages;
    EXPECT_FALSE(LoadImageFile(flash, path, messages)) << path;
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"Failed to open the flash file!"});
    EXPECT_EQ(flash.image, nullptr);
  }
}

TEST_F(LoadImageFileTest, AFileBeyondFourGigabytesIsRefusedBeforeAnythingIsRead) {
  const std::string path = Path("huge.bin");
  ASSERT_TRUE(samples::WriteBytesFile(path, {}));
  ASSERT_EQ(truncate(path.c_str(), 0x100080000LL), 0);  // sparse: costs no disk
  FlashImage flash;
  RecordedMessages messages;
  EXPECT_FALSE(LoadImageFile(flash, path, messages));
  EXPECT_EQ(messages.texts(), std::vector<std::string>{"The flash file is too large!"});
}

}  // namespace
}  // namespace nuv::image
