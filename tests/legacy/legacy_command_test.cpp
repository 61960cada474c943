// `nuv legacy` run as a program on the legacy sample set; the image it
// writes is checked by the UI scripts' image model (legacy_check.py).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "legacy_fixtures.h"
#include "sample_set.h"

namespace nuv::legacy {
namespace {

using ::testing::HasSubstr;

using nuv::test::RunResult;

class LegacyCommandTest : public ::testing::Test {
 protected:
  // The legacy samples, and a new-format image as new.bin.
  void SetUp() override {
    for (const samples::SampleFile& file : samples::GenerateAll()) {
      if (file.name.rfind("legacy/", 0) == 0)
        folder_.Write(file.name.substr(7), file.bytes);
      if (file.name == "images/new-two-banks.bin")
        folder_.Write("new.bin", file.bytes);
    }
    ASSERT_FALSE(Read("legacy.bin").empty());
  }

  std::vector<uint8_t> Read(const std::string& name) const { return folder_.Read(name); }
  std::string Path(const std::string& name) const { return (folder_.path() / name).string(); }

  // Runs a shell command in the folder.
  RunResult Shell(const std::string& command) { return test::Run(command, folder_.path()); }
  RunResult Nuv(const std::string& args) { return Shell("'" NUV_PROGRAM "' " + args); }

  testing::TempFolder folder_;
};

TEST_F(LegacyCommandTest, GeneratesWithFieldsRowsKeyAndPatch) {
  const RunResult run = Nuv(
      "legacy legacy.bin --field Panel.Delay=45 --field Panel.Mode=10 --field Panel.Model=NUV-2000 "
      "--row kernel=kernel-new.bin --row 'Front panel=hwinfo.txt' --row romfs=romfs-new.bin "
      "--row Logo=logo.bin --key key.pub --patch 0xFFFFF=5A -o out.bin");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  // The panel block (id 4) edited and its CRC recomputed, then the rows,
  // the entry table, the key and the patch.
  const RunResult check =
      Shell("python3 '" LEGACY_CHECK
            "' legacy.bin out.bin field:id4+0:8:8:45 field:id4+0:16:4:10 "
            "text:id4+0:32:128:NUV-2000 crc:4 place:64:logo.bin file:3:kernel-new.bin "
            "hwinfo:5:01021F0010:303F3106325B334F41772000 file:6:romfs-new.bin table key:key.pub "
            "patch:FFFFF:5A");
  EXPECT_EQ(check.status, 0) << check.out << check.err;
}

// --list beside the script and from another folder, a refused field value
// and a configuration file of the wrong length are the guide's examples.
TEST_F(LegacyCommandTest, StrictArgumentsAndTheToolsOwnMessagesWriteNothing) {
  const struct Case {
    const char* args;
    const char* err;  // the whole of stderr, or a part of it when `part`
    bool part = true;
    int status = 1;
    const char* image = "legacy.bin";
  } cases[] = {
      {"--field Panel.Delay=300",
       "nuv: Field data error! The value 300 does not fit the field Delay (8 bits): its largest "
       "value is 255.\n",
       false},
      {"--field Panel.Model=NUV-1000-LONG-NAME", "holds at most 15 characters"},
      {"--field Panel.Nothing=1", "no field block holds a field \"Panel.Nothing\""},
      {"--row nope=x", "no file or hw info block is named \"nope\""},
      {"--patch 12=zz", "--patch expects two hexadecimal numbers", true, 2},
      {"--patch 12=100", "--patch expects two hexadecimal numbers", true, 2},
      {"--script nowhere.cfg",
       "nuv: Please put the correct script file in the same directory as the flash binary!\n",
       false},
      {"--row kernel=missing.bin",
       "nuv: Failed to open the browsed file!  File name = missing.bin\n", false},
      {"", "nuv: The image is not a legacy image: it has no legacy customer config.\n", false, 1,
       "new.bin"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    const RunResult run = Nuv("legacy " + std::string(c.image) + " " + c.args + " -o out.bin");
    EXPECT_EQ(run.status, c.status);
    if (c.part)
      EXPECT_THAT(run.err, HasSubstr(c.err));
    else
      EXPECT_EQ(run.err, c.err);
    EXPECT_FALSE(std::filesystem::exists(Path("out.bin")));
  }
  const RunResult run = Nuv("legacy legacy.bin");
  EXPECT_EQ(run.status, 2);
  EXPECT_THAT(run.err, HasSubstr("no output file given"));
}

// A patch address beyond the image only warns; an output named through a
// link is written where the link points, and the link stays a link.
TEST_F(LegacyCommandTest, APatchBeyondTheImageOnlyWarnsAndALinkIsWrittenThrough) {
  folder_.Write("t.bin", std::string("old"));
  std::filesystem::create_symlink("t.bin", Path("link.bin"));
  const RunResult run = Nuv("legacy legacy.bin --config config.bin --patch 100000=1 -o link.bin");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "nuv: Please set a valid flash address!\n");
  EXPECT_TRUE(std::filesystem::is_symlink(Path("link.bin")));
  const auto config = Read("config.bin");
  const auto out = Read("t.bin");
  ASSERT_EQ(out.size(), Read("legacy.bin").size());
  EXPECT_TRUE(std::equal(config.begin(), config.end(), out.begin() + 0x100));
}

}  // namespace
}  // namespace nuv::legacy
