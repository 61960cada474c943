// Reading the image file. A file too large for 32-bit positions is
// main_preparse_refused's (a sparse 5 GiB file).
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/resource.h>
#include <unistd.h>
#endif

#include <fstream>

#include "image/image_file.h"
#include "image_builder.h"
#include "support/messages.h"
#include "test_files.h"

namespace nuv::image {
namespace {

using nuv::test::TempFolder;

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

}  // namespace
}  // namespace nuv::image
