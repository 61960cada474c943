// Packing and unpacking the preset table through the real lzma_alone and
// its two working files. (Storing the packed table in the "preset" block
// is seen through the import.)
#include "exchange/preset_packing.h"

#include <gtest/gtest.h>

#include "exchange/preset_table.h"
#include "exchange_test_support.h"
#include "platform/paths.h"
#include "sample_preset.h"

namespace nuv::exchange {
namespace {

using namespace testing;  // the exchange helpers and the workbook layer

class PresetPacking : public testing::ExchangeTest {
 protected:
  std::filesystem::path Work(std::string_view name) { return Path("work") / name; }

  WorkbookExchange exchange_ = Exchange();
};

// By default the working files lie in this process's own folder.
TEST_F(PresetPacking, PackThenUnpackGivesTheTableBackAndLeavesBothFiles) {
  testing::ScopedEnv root("NUV_PRIVATE_ROOT", Path("private").string());
  exchange_.work_folder.clear();
  const std::filesystem::path work = platform::WorkingFolder().value();
  const std::vector<std::uint8_t> sample = samples::PresetTableBytes(
      samples::kSamplePresetRows, samples::kSamplePresetColumns, samples::SamplePresetCells());
  for (const std::vector<std::uint8_t>& table : {sample, std::vector<std::uint8_t>{}}) {
    const std::optional<std::vector<std::uint8_t>> packed = PackPreset(exchange_, table);
    ASSERT_TRUE(packed);
    EXPECT_EQ(ReadBytes(work / "npreset"), table);
    EXPECT_EQ(ReadBytes(work / "npreset.7z"), *packed);
    EXPECT_NE(*packed, table);
    EXPECT_EQ(UnpackPreset(exchange_, *packed), table);
    EXPECT_EQ(ReadBytes(work / "npreset.7z"), *packed);
  }
  EXPECT_TRUE(messages_.shown().empty());
}

TEST_F(PresetPacking, CommandLinesNameTheWorkingFilesAsOneArgumentEach) {
#ifdef _WIN32  // no double quote in a Windows name, and no shell for a stand-in lzma
  exchange_.work_folder = Path("with blank");
#else
  // A stand-in lzma_alone that notes its arguments and runs the real one.
  std::filesystem::create_directories(Path("bin"));
  const std::string args = Path("args").string();
  testing::WriteFile(Path("bin/lzma_alone"), "#!/bin/sh\nprintf '%s|' \"$@\" >> \"" + args +
                                                 "\"\necho >> \"" + args +
                                                 "\"\nexec /usr/bin/lzma_alone \"$@\"\n");
  std::filesystem::permissions(Path("bin/lzma_alone"), std::filesystem::perms::owner_all);
  testing::ScopedEnv path("PATH", Path("bin").string() + ":/usr/bin:/bin");
  exchange_.work_folder = Path("with blank \"quote\"");
#endif
  std::filesystem::create_directories(exchange_.work_folder);
  const std::optional<std::vector<std::uint8_t>> packed = PackPreset(exchange_, Bytes({1, 2, 3}));
  ASSERT_TRUE(packed);
  const std::optional<std::vector<std::uint8_t>> unpacked = UnpackPreset(exchange_, *packed);
  EXPECT_EQ(unpacked, Bytes({1, 2, 3}));
#ifndef _WIN32
  const std::string work = exchange_.work_folder.string();
  EXPECT_EQ(testing::ReadText(args), "e|" + work + "/npreset|" + work + "/npreset.7z|\nd|" + work +
                                         "/npreset.7z|" + work + "/npreset|\n");
#endif
}

TEST_F(PresetPacking, WithoutLzmaNothingLeftOverPassesForItsOutput) {
  // Leftovers of an earlier run.
  testing::WriteFile(Work("npreset.7z"), "old packed");
  testing::WriteFile(Work("npreset"), "old table");
  testing::ScopedEnv path("PATH", Path("nothing-here").string());
  EXPECT_FALSE(PackPreset(exchange_, Bytes({1, 2})));
  EXPECT_EQ(messages_.shown(),
            (std::vector<std::pair<BoxCaption, std::string>>{
                {BoxCaption::Application, "error to open output file!"},
                {BoxCaption::Application,
                 "lzma.exe could not be started: " +
                     test::ProgramNotFound(testing::kLzmaProgram, Path("nothing-here").string()) +
                     "."}}));
  EXPECT_FALSE(std::filesystem::exists(Work("npreset.7z")));
  EXPECT_EQ(ReadBytes(Work("npreset")), Bytes({1, 2}));

  testing::WriteFile(Work("npreset"), "old table");
  EXPECT_FALSE(UnpackPreset(exchange_, Bytes({3})));
  ASSERT_EQ(messages_.texts().size(), 4u);
  EXPECT_EQ(messages_.texts()[2], "error to open output file!");
  EXPECT_FALSE(std::filesystem::exists(Work("npreset")));
  EXPECT_EQ(ReadBytes(Work("npreset.7z")), Bytes({3}));
}

TEST_F(PresetPacking, OutputLargerThanTwoMebibytesIsRefused) {
  // 2 MiB + 1 of zeros packs small and unpacks too large for the buffer.
  EXPECT_FALSE(UnpackPreset(
      exchange_, samples::LzmaAloneCompress(std::vector<std::uint8_t>(kPresetBufferSize + 1))));
  ASSERT_EQ(messages_.shown().size(), 1u);
  EXPECT_NE(messages_.texts()[0].find("2097153 bytes"), std::string::npos) << messages_.texts()[0];
  // Exactly 2 MiB is fine.
  EXPECT_EQ(UnpackPreset(exchange_,
                         samples::LzmaAloneCompress(std::vector<std::uint8_t>(kPresetBufferSize))),
            std::vector<std::uint8_t>(kPresetBufferSize));
}

// lzma writes what it could decode of damaged or cut data and then fails.
// Input that cannot be written fails before any run, without a message.
TEST_F(PresetPacking, FailedRunsAndUnwritableInputAreFailuresWhateverWasWritten) {
  const std::vector<std::uint8_t> packed = samples::LzmaAloneCompress(samples::PresetTableBytes(
      samples::kSamplePresetRows, samples::kSamplePresetColumns, samples::SamplePresetCells()));
  const std::vector<std::uint8_t> cut(packed.begin(), packed.begin() + packed.size() / 2);
  for (const std::vector<std::uint8_t>& input : {cut, Bytes({'p', 'r', 'e', 's', 'e', 't'})}) {
    messages_.clear();
    EXPECT_FALSE(UnpackPreset(exchange_, input));
    EXPECT_EQ(messages_.texts(), std::vector<std::string>{"error to open output file!"});
  }
  messages_.clear();
  exchange_.work_folder = Path("no-such-folder");
  EXPECT_FALSE(PackPreset(exchange_, Bytes({1})));
  EXPECT_FALSE(UnpackPreset(exchange_, Bytes({1})));
  EXPECT_TRUE(messages_.shown().empty());
}

}  // namespace
}  // namespace nuv::exchange
