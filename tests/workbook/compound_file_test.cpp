#include "workbook/compound_file.h"

#include <gtest/gtest.h>

#include <numeric>

#include "common/bytes.h"
#include "workbook_test_support.h"

namespace nuv::workbook {
namespace {

std::vector<std::uint8_t> Pattern(std::size_t size, std::uint8_t seed) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i)
    bytes[i] = static_cast<std::uint8_t>(seed + i * 7 + (i >> 9));
  return bytes;
}

std::string ErrorOf(std::span<const std::uint8_t> file, std::u16string_view name) {
  return testing::AutomationErrorOf([&] { ReadCompoundStream(file, name); });
}

// In version 3, 109 FAT sectors of 128 entries cover about 7 MB; 9 MB needs
// DIFAT sectors.
TEST(CompoundFile, StreamsOfEverySizeReadBackInBothVersions) {
  auto small = Pattern(100, 1), edge = Pattern(4095, 2), big = Pattern(4096, 3),
       bigger = Pattern(70001, 4), huge = Pattern(9'000'000, 9);
  auto empty = std::vector<std::uint8_t>();
  std::vector<CompoundStream> streams = {{u"Workbook", bigger}, {u"\x05SummaryInformation", small},
                                         {u"Edge", edge},       {u"Big", big},
                                         {u"Empty", empty},     {u"Huge", huge}};
  for (int version : {3, 4}) {
    std::vector<std::uint8_t> file = WriteCompoundFile(streams, version);
    EXPECT_EQ(file.size() % (version == 4 ? 4096 : 512), 0u);
    if (version == 3) {
      EXPECT_GT(common::LoadU32(file, 0x48), 0u);  // DIFAT sectors in use
    }
    for (const CompoundStream& s : streams) {
      auto read = ReadCompoundStream(file, s.name);
      ASSERT_TRUE(read) << version;
      EXPECT_TRUE(std::equal(read->begin(), read->end(), s.data.begin(), s.data.end())) << version;
    }
    EXPECT_TRUE(ReadCompoundStream(file, u"workbook"));  // names match without regard to case
    EXPECT_FALSE(ReadCompoundStream(file, u"Book"));
  }
}

// A small file of two streams, damaged one way per case: each is refused
// with a message that names the damage, and every truncation fails cleanly.
// Files of other kinds fail at the signature.
TEST(CompoundFile, DamagedFilesAreRefusedWithTheirReason) {
  const std::vector<std::uint8_t> data = Pattern(5000, 5), small = Pattern(300, 6);
  const std::vector<CompoundStream> streams = {{u"Workbook", data}, {u"Small", small}};
  const std::vector<std::uint8_t> good = WriteCompoundFile(streams);
  const std::size_t fat = (common::LoadU32(good, 0x4C) + 1) * 512,
                    directory = (common::LoadU32(good, 0x30) + 1) * 512;
  const std::uint32_t child = common::LoadU32(good, directory + 0x4C);
  std::size_t workbook_entry = directory;
  while (good.at(workbook_entry) != 'W')
    workbook_entry += 128;
  struct Case {
    const char* expected;
    std::size_t at;
    std::uint32_t value;
    std::u16string_view stream = u"Workbook";
  } cases[] = {
      {"loops", fat + 4 * 3, 1},  // the stream's fourth sector points back to its second
      {"the chain of a stream", fat + 4 * 2, 0x00FFFFFF},
      {"cannot fit in the file", workbook_entry + 0x78, 0x7FFFFFFF},  // checked before reading
      {"FAT sectors", 0x2C, 0x10000000},
      {"twice", directory + child * 128 + 0x44, child, u"Nothing"},  // its own left sibling
      {"signature", 0, 0x78787878},
      {"unsupported version 5", 0x1A, 0xFFFE0005},  // the byte order after it stays
  };
  for (const Case& c : cases) {
    std::vector<std::uint8_t> file = good;
    for (int i = 0; i < 4; ++i)
      file[c.at + i] = static_cast<std::uint8_t>(c.value >> (8 * i));
    const std::string error = ErrorOf(file, c.stream);
    EXPECT_NE(error.find(c.expected), std::string::npos) << c.expected << ": " << error;
  }
  EXPECT_FALSE(IsCompoundFile(std::vector<std::uint8_t>(1024, 'x')));
  for (std::size_t size = 0; size < good.size(); size += 37) {
    try {
      auto read = ReadCompoundStream(std::span(good.data(), size), u"Workbook");
      EXPECT_TRUE(read && *read == data) << size;  // whatever is read must be right
    } catch (const AutomationError& e) {
      EXPECT_NE(std::string(e.what()).find("compound file"), std::string::npos);
    }
  }
}

}  // namespace
}  // namespace nuv::workbook
