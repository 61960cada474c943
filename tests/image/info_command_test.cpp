// `nuv info` run as a program. Its report and its refusals as the user
// reads them are the guide's examples on the samples, and nuv.exe's reports
// of every sample are compared with Linux's under Wine (compare_flows.sh);
// here the JSON, and names no sample has.
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
  RunResult Nuv(const std::string& args) {
    return test::Run(test::Quote(platform::ProgramFolder() / NUV_PROGRAM) + " info " + args,
                     folder_.path());
  }

  test::TempFolder folder_;
};

TEST_F(InfoCommandTest, JsonGivesNumbersEscapesEveryByteOfNamesAndShowsSdramSigned) {
  samples::NewFormatPlan plan;
  samples::BankPlan bank{.header_offset = 0x40, .sdram_size = 0x80000000};
  bank.blocks = {{.id = 0xA4,
                  .name = "a\"b\\c\x01\xE9",
                  .data = {1, 2},
                  .version = 0x20,
                  .time = "t1",
                  .crc = 0xFEDCBA98}};  // unsigned in JSON too
  plan.banks = {bank};
  const std::string image = folder_.Write("new.bin", samples::BuildNewFormatImage(plan).bytes);
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

}  // namespace
}  // namespace nuv::image
