#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "image/bytes.h"
#include "image/crc32.h"
#include "image_builder.h"
#include "legacy_fixtures.h"
#include "sample_set.h"

namespace nuv::legacy {
namespace {

using ::testing::HasSubstr;

struct Result {
  int status = -1;
  std::string out, err;
};

// The legacy sample set in a folder of its own; `nuv legacy` runs there.
class LegacyCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const samples::SampleFile& file : samples::GenerateAll())
      if (file.name.rfind("legacy/", 0) == 0)
        folder_.Write(file.name.substr(7), file.bytes);
    ASSERT_FALSE(Read("legacy.bin").empty());
  }

  std::vector<uint8_t> Read(const std::string& name) const { return folder_.Read(name); }
  std::string Path(const std::string& name) const { return (folder_.path() / name).string(); }

  Result Nuv(const std::string& args) {
    const std::string command = "cd '" + folder_.path().string() + "' && '" NUV_PROGRAM "' " +
                                args + " >'" + Path("stdout") + "' 2>'" + Path("stderr") + "'";
    const int status = std::system(command.c_str());
    const auto text = [&](const char* name) {
      const auto bytes = Read(name);
      return std::string(bytes.begin(), bytes.end());
    };
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text("stdout"), text("stderr")};
  }

  uint32_t EntryWord(const std::vector<uint8_t>& image, size_t entry, size_t field) const {
    return *image::ReadU32(image, 0x1000 + 12 + 48 * entry + field);
  }

  testing::TempFolder folder_;
};

TEST_F(LegacyCommandTest, GeneratesWithFieldsRowsKeyAndPatch) {
  const Result run = Nuv(
      "legacy legacy.bin --field Panel.Delay=45 --field Panel.Mode=10 --field Panel.Model=NUV-2000 "
      "--row kernel=kernel-new.bin --row 'Front panel=hwinfo.txt' --row romfs=romfs-new.bin "
      "--row Logo=logo.bin --key key.pub --patch 0xFFFFF=5A -o out.bin");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const std::vector<uint8_t> before = Read("legacy.bin");
  const std::vector<uint8_t> out = Read("out.bin");
  ASSERT_EQ(out.size(), before.size());

  // The kernel is 0x1000 shorter: panel and hw info follow it 0x1000 lower.
  EXPECT_EQ(EntryWord(out, 2, 8), 0x3F000u);
  EXPECT_EQ(EntryWord(out, 3, 4), 0x57000u);
  EXPECT_EQ(EntryWord(out, 4, 4), 0x57040u);
  EXPECT_EQ(EntryWord(out, 5, 4), 0x57130u);
  EXPECT_EQ(EntryWord(out, 5, 8), 0x24000u);
  EXPECT_EQ(EntryWord(out, 6, 4), 0xF0000u);  // the tail stays
  const auto kernel = Read("kernel-new.bin");
  EXPECT_TRUE(std::equal(kernel.begin(), kernel.end(), out.begin() + 0x18000));
  image::CrcTable table;
  image::BuildCrcTable(table);
  EXPECT_EQ(EntryWord(out, 2, 12), image::UpdateCrc(table, image::kCrcStart, kernel));

  // The panel fields in the moved panel block, its CRC over its bytes.
  EXPECT_EQ(out[0x57000], 0x01);
  EXPECT_EQ(out[0x57001], 45);
  EXPECT_EQ(out[0x57002], 10);
  EXPECT_EQ(std::string(out.begin() + 0x57004, out.begin() + 0x5700D),
            std::string("NUV-2000\0", 9));
  EXPECT_EQ(EntryWord(out, 3, 12),
            image::UpdateCrc(table, image::kCrcStart, std::span(out).subspan(0x57000, 0x40)));
  // The hw info block: 4 panel values after its count.
  EXPECT_EQ(out[0x57040], 5);
  EXPECT_EQ(out[0x57040 + 2 + 2], 0x1F);

  const auto logo = Read("logo.bin");
  EXPECT_TRUE(std::equal(logo.begin(), logo.end(), out.begin() + 0x100 + 64));
  const auto key = Read("key.pub");
  EXPECT_EQ(out[0x100 + 628], 0x80);
  EXPECT_TRUE(std::equal(key.begin() + 5, key.begin() + 133, out.begin() + 0x100 + 630));
  EXPECT_EQ(out[0xFFFFF], 0x5A);
}

TEST_F(LegacyCommandTest, ListShowsBlocksFieldsAndRows) {
  const Result run = Nuv("legacy legacy.bin --list");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_THAT(run.out, HasSubstr("field block \"Panel\": block id 0x04, offset 0\n"
                                 "  \"Standby\" = 1 (1 bits)\n"
                                 "  \"Delay\" = 30 (8 bits)\n"
                                 "  \"Mode\" = 5 (list 0..15 step 5)\n"
                                 "  \"Model\" = \"NUV-1000\" (text, 16 bytes)\n"));
  EXPECT_THAT(run.out, HasSubstr("  \"Language\" = 1 (list 0..3 step 1)\n"));
  EXPECT_THAT(run.out, HasSubstr("  \"Owner\" = \"Factory\" (text, 12 bytes)\n"));
  EXPECT_THAT(run.out, HasSubstr("hw info block \"Front panel\": block id 0x05"));
}

TEST_F(LegacyCommandTest, TheScriptIsFoundBesideTheImage) {
  const Result run = Nuv("legacy legacy.bin --list && cd / && '" NUV_PROGRAM "' legacy '" +
                         Path("legacy.bin") + "' --list");
  EXPECT_EQ(run.status, 0) << run.err;
  const Result missing = Nuv("legacy legacy.bin --script nowhere.cfg -o out.bin");
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err,
            "nuv: Please put the correct script file in the same directory as the flash binary!\n");
}

TEST_F(LegacyCommandTest, StrictArgumentsAndTheToolsOwnMessages) {
  Result run = Nuv("legacy legacy.bin --field Panel.Mode=7 -o out.bin");
  EXPECT_EQ(run.status, 1);
  EXPECT_THAT(run.err, HasSubstr("nuv: the list field \"Mode\" does not offer 7\n"));
  run = Nuv("legacy legacy.bin --field Panel.Model=NUV-1000-LONG-NAME -o out.bin");
  EXPECT_THAT(run.err, HasSubstr("holds at most 15 characters"));
  run = Nuv("legacy legacy.bin --field Panel.Nothing=1 -o out.bin");
  EXPECT_THAT(run.err, HasSubstr("no field block holds a field \"Panel.Nothing\""));
  run = Nuv("legacy legacy.bin --row nope=x -o out.bin");
  EXPECT_THAT(run.err, HasSubstr("no file or hw info block is named \"nope\""));
  run = Nuv("legacy legacy.bin --patch 12=zz -o out.bin");
  EXPECT_THAT(run.err, HasSubstr("--patch expects two hexadecimal numbers"));
  run = Nuv("legacy legacy.bin");
  EXPECT_EQ(run.status, 1);
  EXPECT_THAT(run.err, HasSubstr("no output file given"));
  EXPECT_FALSE(std::filesystem::exists(Path("out.bin")));

  run = Nuv("legacy legacy.bin --config logo.bin -o out.bin");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "nuv: Wrong customer config file!\n");
  run = Nuv("legacy legacy.bin --row kernel=missing.bin -o out.bin");
  EXPECT_EQ(run.err, "nuv: Failed to open the browsed file!  File name = missing.bin\n");
  EXPECT_FALSE(std::filesystem::exists(Path("out.bin")));

  // A patch address beyond the image only warns.
  run = Nuv("legacy legacy.bin --config config.bin --patch 100000=1 -o out.bin");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "nuv: Please set a valid flash address!\n");
  const auto config = Read("config.bin");
  const auto out = Read("out.bin");
  EXPECT_TRUE(std::equal(config.begin(), config.end(), out.begin() + 0x100));
}

TEST_F(LegacyCommandTest, ImagesThatAreNotLegacyAreRefused) {
  folder_.Write("small.bin", std::string(100, 'x'));
  Result run = Nuv("legacy small.bin -o out.bin");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "nuv: Wrong binary file!\n");

  samples::NewFormatPlan plan;
  plan.banks.resize(1);
  plan.banks[0].blocks.resize(1);
  plan.banks[0].blocks[0].id = 1;
  plan.banks[0].blocks[0].data = {1, 2, 3};
  folder_.Write("new.bin", samples::BuildNewFormatImage(plan).bytes);
  run = Nuv("legacy new.bin -o out.bin");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "nuv: The image is not a legacy image: it has no legacy customer config.\n");
}

}  // namespace
}  // namespace nuv::legacy
