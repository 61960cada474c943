#include <gtest/gtest.h>

#include <string>

#include "image_builder.h"
#include "platform/paths.h"
#include "test_files.h"

namespace nuv::image {
namespace {

using test::RunResult;

class InfoCommandTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
    return folder_.Write(name, bytes);
  }
  RunResult Nuv(const std::string& args) {
    return test::Run(test::Quote(platform::ProgramFolder() / NUV_PROGRAM) + " info " + args,
                     folder_.path());
  }

  test::TempFolder folder_;
};

samples::BlockPlan Block(uint8_t id, std::string name, std::vector<uint8_t> data) {
  return {.id = id,
          .name = std::move(name),
          .data = std::move(data),
          .version = 0x20,
          .time = "t1",
          .crc = 0x1234ABCD};
}

TEST_F(InfoCommandTest, PrintsHeaderValuesAndTheGridOfALegacyImage) {
  samples::LegacyPlan plan;
  plan.sdram_size = 0x00FF0000;  // 255 * 65536
  plan.config = samples::PatternBytes(16, 1);
  plan.blocks = {Block(0x0B, "ssdata", samples::TextBytes("V9")), Block(0xC0, "ABCDEFGH", {1})};
  plan.blocks[0].data.push_back(0);
  const std::string image = Write("legacy.bin", samples::BuildLegacyImage(plan).bytes);
  const RunResult run = Nuv(test::Quote(image) + " --experts");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out,
            "Kind: legacy\n"
            "SDRAM Size: 16711680\n"
            "Flash Size: 1048576\n"
            "Block Number: 2\n"
            "Software Version: V9\n"
            "Script Path: \n"
            "Open Script File: shown\n"
            "Export Configs: shown\n"
            "DMH Offset: 0x1000\n"
            "Config Length: 16\n"
            "\n"
            "ID  Size      CRC       Name      Version   Time\n"
            "0B         3  1234ABCD  ssdata    00000020  t1\n"
            "C0         1  1234ABCD  ABCDEFGH  00000020  t1\n");
}

TEST_F(InfoCommandTest, JsonGivesNumbersEscapesEveryByteOfNamesAndShowsSdramSigned) {
  samples::NewFormatPlan plan;
  samples::BankPlan bank{.header_offset = 0x40, .sdram_size = 0x80000000};
  bank.blocks = {Block(0xA4, "a\"b\\c\x01\xE9", {1, 2})};
  bank.blocks[0].crc = 0xFEDCBA98;  // unsigned in JSON too
  plan.banks = {bank};
  const std::string image = Write("new.bin", samples::BuildNewFormatImage(plan).bytes);
  const RunResult run = Nuv("--json --internal " + test::Quote(image));
  // The image's folder, with its separator, as a JSON string holds it.
  std::string folder = folder_.path().string();
  folder += static_cast<char>(std::filesystem::path::preferred_separator);
  for (size_t at = 0; (at = folder.find('\\', at)) != std::string::npos; at += 2)
    folder.insert(at, 1, '\\');
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            "{\"kind\":\"new format\",\"sdram_size\":-2147483648,\"flash_size\":524288,"
            "\"block_number\":1,\"software_version\":\"\",\"expert\":false,\"script_path\":\"" +
                folder +
                "\",\"script_row\":false,\"export_section\":false,\"blocks\":[{\"id\":164,"
                "\"size\":2,\"crc\":4275878552,\"name\":\"a\\\"b\\\\c\\u0001\\u00E9\","
                "\"version\":32,\"time\":\"t1\"}]}\n");
  const RunResult text = Nuv(test::Quote(image));
  EXPECT_NE(text.out.find("A4         2  FEDCBA98  a\"b\\x5Cc\\x01\\xE9  00000020  t1\n"),
            std::string::npos)
      << text.out;
}

TEST_F(InfoCommandTest, RefusedImagesExitWithOne) {
  const std::string odd = Write("odd.bin", std::vector<uint8_t>(1000, 0));
  RunResult run = Nuv(test::Quote(odd));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "nuv: Wrong binary file!\n");

  run = Nuv(test::Quote(folder_ / "missing.bin") + " --json");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "nuv: Failed to open the flash file!\n");
}

}  // namespace
}  // namespace nuv::image
