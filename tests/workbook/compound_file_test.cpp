#include "workbook/compound_file.h"

#include <gtest/gtest.h>

#include <numeric>

#include "platform/errors.h"
#include "workbook/byte_io.h"

namespace nuv::workbook {
namespace {

std::vector<std::uint8_t> Pattern(std::size_t size, std::uint8_t seed) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i)
    bytes[i] = static_cast<std::uint8_t>(seed + i * 7 + (i >> 9));
  return bytes;
}

std::string ErrorOf(std::span<const std::uint8_t> file, std::u16string_view name) {
  try {
    ReadCompoundStream(file, name);
  } catch (const AutomationError& e) {
    return e.what();
  }
  return "";
}

TEST(CompoundFile, StreamsOfEverySizeReadBackInBothVersions) {
  auto small = Pattern(100, 1), edge = Pattern(4095, 2), big = Pattern(4096, 3),
       bigger = Pattern(70001, 4);
  auto empty = std::vector<std::uint8_t>();
  std::vector<CompoundStream> streams = {{u"Workbook", bigger},
                                         {u"\x05SummaryInformation", small},
                                         {u"Edge", edge},
                                         {u"Big", big},
                                         {u"Empty", empty}};
  for (int version : {3, 4}) {
    std::vector<std::uint8_t> file = WriteCompoundFile(streams, version);
    EXPECT_EQ(file.size() % (version == 4 ? 4096 : 512), 0u);
    for (const CompoundStream& s : streams) {
      auto read = ReadCompoundStream(file, s.name);
      ASSERT_TRUE(read) << version;
      EXPECT_TRUE(std::equal(read->begin(), read->end(), s.data.begin(), s.data.end())) << version;
    }
    EXPECT_TRUE(ReadCompoundStream(file, u"workbook"));  // names match without regard to case
    EXPECT_FALSE(ReadCompoundStream(file, u"Book"));
  }
}

TEST(CompoundFile, ListsFatSectorsBeyondTheHeaderInDifatSectors) {
  // 109 FAT sectors of 128 entries cover about 7 MB; 9 MB needs DIFAT sectors.
  auto huge = Pattern(9'000'000, 9);
  CompoundStream stream{u"Workbook", huge};
  std::vector<std::uint8_t> file = WriteCompoundFile(std::span(&stream, 1));
  EXPECT_GT(LoadU32(file, 0x48), 0u);  // DIFAT sectors in use
  auto read = ReadCompoundStream(file, u"Workbook");
  ASSERT_TRUE(read);
  EXPECT_EQ(*read, huge);
}

class DamagedCompoundFile : public ::testing::Test {
 protected:
  void SetUp() override {
    data_ = Pattern(5000, 5);
    small_ = Pattern(300, 6);
    std::vector<CompoundStream> streams = {{u"Workbook", data_}, {u"Small", small_}};
    file_ = WriteCompoundFile(streams);
  }
  std::size_t FatEntryOffset(std::uint32_t entry) const {
    std::uint32_t fat_sector = LoadU32(file_, 0x4C);
    return (static_cast<std::size_t>(fat_sector) + 1) * 512 + 4 * entry;
  }
  void Put32(std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
      file_[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
  }
  std::vector<std::uint8_t> data_, small_, file_;
};

TEST_F(DamagedCompoundFile, AChainThatLoopsIsRefused) {
  Put32(FatEntryOffset(3), 1);  // the Workbook stream's fourth sector points back to its second
  EXPECT_NE(ErrorOf(file_, u"Workbook").find("loops"), std::string::npos)
      << ErrorOf(file_, u"Workbook");
}

TEST_F(DamagedCompoundFile, AChainThatLeavesTheFileIsRefused) {
  Put32(FatEntryOffset(2), 0x00FFFFFF);
  EXPECT_NE(ErrorOf(file_, u"Workbook").find("the chain of a stream"), std::string::npos);
}

TEST_F(DamagedCompoundFile, ASizeBeyondTheFileIsRefusedBeforeReading) {
  // The directory is the sector after the streams and the mini stream.
  std::uint32_t directory = LoadU32(file_, 0x30);
  std::size_t entry = (directory + 1) * 512;
  for (std::size_t e = entry; e < entry + 4 * 128; e += 128) {
    if (file_[e] == 'W')
      Put32(e + 0x78, 0x7FFFFFFF);
  }
  EXPECT_NE(ErrorOf(file_, u"Workbook").find("cannot fit in the file"), std::string::npos);
}

TEST_F(DamagedCompoundFile, HeaderCountsBeyondTheFileAreRefused) {
  Put32(0x2C, 0x10000000);  // FAT sectors
  EXPECT_NE(ErrorOf(file_, u"Workbook").find("FAT sectors"), std::string::npos);
}

TEST_F(DamagedCompoundFile, ADirectoryTreeThatLoopsIsRefused) {
  std::uint32_t directory = LoadU32(file_, 0x30);
  std::size_t root = (directory + 1) * 512;
  std::uint32_t child = LoadU32(file_, root + 0x4C);
  Put32(root + child * 128 + 0x44, child);  // the child is its own left sibling
  EXPECT_NE(ErrorOf(file_, u"Nothing").find("twice"), std::string::npos);
}

TEST_F(DamagedCompoundFile, EveryTruncationFailsCleanly) {
  for (std::size_t size = 0; size < file_.size(); size += 37) {
    std::span<const std::uint8_t> part(file_.data(), size);
    try {
      auto read = ReadCompoundStream(part, u"Workbook");
      EXPECT_TRUE(read && *read == data_) << size;  // whatever is read must be right
    } catch (const AutomationError& e) {
      EXPECT_NE(std::string(e.what()).find("compound file"), std::string::npos);
    }
  }
}

TEST(CompoundFile, OtherFilesAreRefused) {
  std::vector<std::uint8_t> text(1024, 'x');
  EXPECT_FALSE(IsCompoundFile(text));
  EXPECT_NE(ErrorOf(text, u"Workbook").find("signature"), std::string::npos);
  std::vector<std::uint8_t> data = Pattern(5000, 1);
  CompoundStream s{u"Workbook", data};
  std::vector<std::uint8_t> file = WriteCompoundFile(std::span(&s, 1));
  file[0x1A] = 5;  // version 5
  EXPECT_NE(ErrorOf(file, u"Workbook").find("unsupported version"), std::string::npos);
}

}  // namespace
}  // namespace nuv::workbook
