// Block Save and Load on an image in memory and files in a test folder.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <vector>

#include "toolcfg/block_file.h"

namespace nuv::toolcfg {
namespace {

namespace fs = std::filesystem;

image::BlockRecord Entry(uint8_t id, const char* name, uint32_t offset, uint32_t size) {
  std::array<uint8_t, image::kBlockEntrySize> bytes{};
  bytes[0] = id;
  for (size_t i = 0; name[i] != 0 && i < 8; ++i)
    bytes[24 + i] = static_cast<uint8_t>(name[i]);
  image::BlockRecord record;
  record.entry = image::BlockEntry(bytes);
  record.entry.set_offset(offset);
  record.entry.set_size(size);
  record.bank = 1;
  return record;
}

class BlockFile : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("nuv-block-file-" + std::to_string(::getpid()));
    fs::create_directories(folder_);
    image_.image = image::ImageBuffer::Allocate(64);
    for (size_t i = 0; i < 64; ++i)
      image_.image->bytes()[i] = static_cast<uint8_t>(i);
    image_.image_length = 64;
    image_.snapshot.records.push_back(Entry(0x24, "logo", 8, 4));
    image_.snapshot.records.push_back(Entry(0x25, "longname", 16, 8));
    image_.table = image_.snapshot;
  }
  void TearDown() override { fs::remove_all(folder_); }
  std::string Path(const char* name) const { return (folder_ / name).string(); }
  std::vector<uint8_t> Read(const char* name) const {
    std::ifstream in(folder_ / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }

  fs::path folder_;
  image::FlashImage image_;
  RecordedMessages messages_;
};

TEST_F(BlockFile, FindsByNameInItsFirstEightCharactersAndId) {
  EXPECT_EQ(FindPickedBlock(image_.snapshot, "logo", 0x24), 0u);
  EXPECT_EQ(FindPickedBlock(image_.snapshot, "longnameXYZ", 0x25), 1u);
  EXPECT_FALSE(FindPickedBlock(image_.snapshot, "logo", 0x25).has_value());
  EXPECT_FALSE(FindPickedBlock(image_.snapshot, "", 0).has_value());
}

TEST_F(BlockFile, SaveWritesTheLoadedBytesNotTheWorkingOnes) {
  image_.table.records[0].data.Replace({9, 9});
  ASSERT_TRUE(SaveBlockFile(image_, "logo", 0x24, Path("out.bin"), messages_));
  EXPECT_EQ(Read("out.bin"), (std::vector<uint8_t>{8, 9, 10, 11}));
  EXPECT_EQ(messages_.texts().back(), "The Block have been saved!");
  EXPECT_FALSE(SaveBlockFile(image_, "logo", 0x24, "", messages_));
  EXPECT_EQ(messages_.shown().back().first, BoxCaption::Error);
}

TEST_F(BlockFile, LoadEnlargesTheWorkingBlockAndRefusesAnEmptyFile) {
  std::ofstream(folder_ / "empty.bin").close();
  EXPECT_FALSE(LoadBlockFile(image_, "logo", 0x24, Path("empty.bin"), messages_));
  EXPECT_EQ(messages_.texts().back(), "The load file is 0 bytes!");
  EXPECT_EQ(image_.table.records[0].entry.size(), 4u);
  std::ofstream(folder_ / "big.bin", std::ios::binary) << std::string(100, 'x');
  ASSERT_TRUE(LoadBlockFile(image_, "logo", 0x24, Path("big.bin"), messages_));
  EXPECT_EQ(image_.table.records[0].entry.size(), 100u);
  EXPECT_EQ(image_.table.records[0].data.size(), 100u);
  EXPECT_EQ(image_.snapshot.records[0].entry.size(), 4u);
  EXPECT_FALSE(LoadBlockFile(image_, "logo", 0x24, Path("missing.bin"), messages_));
  EXPECT_EQ(messages_.texts().back(), "error to open load block bin  file ");
}

}  // namespace
}  // namespace nuv::toolcfg
