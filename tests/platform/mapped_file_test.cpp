// A mapped file that another program cuts shorter: the tool ends with a
// message naming the file instead of dying of a bus error.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <vector>

#include "platform/input_file.h"
#include "platform/mapped_memory.h"
#include "test_files.h"

namespace nuv::platform {
namespace {

// Windows refuses to cut a file shorter while it is mapped.
#ifndef _WIN32
TEST(MappedFile, CutShorterUnderItEndsWithAMessageAndASentBusErrorStaysOne) {
  test::TempFolder folder;
  const std::filesystem::path path = folder / "image.bin";
  test::WriteFile(path, std::vector<uint8_t>(1 << 20, 0x5A));
  Result<InputFile> file = InputFile::Open(path);
  ASSERT_TRUE(file.ok()) << file.error();
  std::optional<MappedMemory> mapped = MappedMemory::MapFile(file.value());
  ASSERT_TRUE(mapped);
  ASSERT_EQ(mapped->bytes().back(), 0x5A);

  EXPECT_EXIT(
      {
        std::filesystem::resize_file(path, 0);
        volatile uint8_t last = mapped->bytes().back();
        (void)last;
      },
      testing::ExitedWithCode(2),
      "The file .*image.bin was made shorter by another program while it was being read; "
      "nothing was written.");
  EXPECT_EXIT(std::raise(SIGBUS), testing::KilledBySignal(SIGBUS), "");
}
#endif

}  // namespace
}  // namespace nuv::platform
