// Packing and unpacking the preset table through the real lzma_alone and
// its two working files.
#include "workbook/preset_packing.h"

#include <gtest/gtest.h>

#include "exchange_test_support.h"
#include "sample_preset.h"
#include "workbook/preset_table.h"

namespace nuv::workbook {
namespace {

using testing::Bytes;
using testing::MakeRecord;
using testing::ReadFile;
using testing::T;

class PresetPacking : public testing::ExchangeTest {
 protected:
  std::filesystem::path Work(std::string_view name) { return Path("work") / name; }
};

TEST_F(PresetPacking, PackThenUnpackGivesTheTableBackAndLeavesBothFiles) {
  WorkbookExchange exchange = Exchange();
  const std::vector<std::uint8_t> table = samples::PresetTableBytes(
      samples::kSamplePresetRows, samples::kSamplePresetColumns, samples::SamplePresetCells());
  std::vector<std::uint8_t> packed;
  ASSERT_TRUE(PackPreset(exchange, packed, table));
  EXPECT_EQ(ReadFile(Work("npreset")), table);
  EXPECT_EQ(ReadFile(Work("npreset.7z")), packed);
  EXPECT_NE(packed, table);

  std::vector<std::uint8_t> unpacked;
  ASSERT_TRUE(UnpackPreset(exchange, unpacked, packed));
  EXPECT_EQ(unpacked, table);
  EXPECT_EQ(ReadFile(Work("npreset.7z")), packed);
  EXPECT_TRUE(messages_.shown().empty());

  // What liblzma's .lzma encoder makes unpacks the same way.
  ASSERT_TRUE(UnpackPreset(exchange, unpacked, samples::LzmaAloneCompress(table)));
  EXPECT_EQ(unpacked, table);
}

TEST_F(PresetPacking, EmptyInputPacksAndUnpacks) {
  WorkbookExchange exchange = Exchange();
  std::vector<std::uint8_t> packed, unpacked = Bytes({1});
  ASSERT_TRUE(PackPreset(exchange, packed, {}));
  EXPECT_FALSE(packed.empty());
  ASSERT_TRUE(UnpackPreset(exchange, unpacked, packed));
  EXPECT_TRUE(unpacked.empty());
}

TEST_F(PresetPacking, CommandLinesNameTheWorkingFilesBesideEachOther) {
  // A stand-in lzma_alone that notes its arguments and runs the real one.
  std::filesystem::create_directories(Path("bin"));
  testing::WriteScript(Path("bin/lzma_alone"), "#!/bin/sh\nprintf '%s|' \"$@\" >> \"" +
                                                   Path("args").string() + "\"\necho >> \"" +
                                                   Path("args").string() +
                                                   "\"\nexec /usr/bin/lzma_alone \"$@\"\n");
  testing::ScopedPath path(Path("bin").string() + ":/usr/bin:/bin");
  WorkbookExchange exchange = Exchange();
  std::vector<std::uint8_t> packed, unpacked;
  ASSERT_TRUE(PackPreset(exchange, packed, Bytes({1, 2, 3})));
  ASSERT_TRUE(UnpackPreset(exchange, unpacked, packed));
  const std::string work = Path("work").string();
  const std::vector<std::uint8_t> args = ReadFile(Path("args"));
  EXPECT_EQ(std::string(args.begin(), args.end()), "e|" + work + "/npreset|" + work +
                                                       "/npreset.7z|\n" + "d|" + work +
                                                       "/npreset.7z|" + work + "/npreset|\n");
  EXPECT_EQ(unpacked, Bytes({1, 2, 3}));
}

TEST_F(PresetPacking, FolderNamesWithBlanksAndQuotesStayOneArgument) {
  for (const char* name : {"with blank", "with \"quote\""}) {
    const std::filesystem::path folder = Path(name);
    std::filesystem::create_directories(folder);
    WorkbookExchange exchange = Exchange();
    exchange.work_folder = folder;
    std::vector<std::uint8_t> packed, unpacked;
    ASSERT_TRUE(PackPreset(exchange, packed, Bytes({9, 8, 7}))) << name;
    EXPECT_TRUE(std::filesystem::exists(folder / "npreset.7z")) << name;
    ASSERT_TRUE(UnpackPreset(exchange, unpacked, packed)) << name;
    EXPECT_EQ(unpacked, Bytes({9, 8, 7})) << name;
  }
}

TEST_F(PresetPacking, WithoutLzmaNothingLeftOverPassesForItsOutput) {
  WorkbookExchange exchange = Exchange();
  // Leftovers of an earlier run.
  testing::WriteFile(Work("npreset.7z"), "old packed");
  testing::WriteFile(Work("npreset"), "old table");
  testing::ScopedPath path(Path("nothing-here").string());
  std::vector<std::uint8_t> out = Bytes({42});
  EXPECT_FALSE(PackPreset(exchange, out, Bytes({1, 2})));
  EXPECT_EQ(out, Bytes({42}));
  EXPECT_EQ(messages_.shown(), (std::vector<std::pair<BoxCaption, std::string>>{
                                   {BoxCaption::Application, "error to open output file!"}}));
  EXPECT_FALSE(std::filesystem::exists(Work("npreset.7z")));
  EXPECT_EQ(ReadFile(Work("npreset")), Bytes({1, 2}));

  testing::WriteFile(Work("npreset"), "old table");
  EXPECT_FALSE(UnpackPreset(exchange, out, Bytes({3})));
  EXPECT_EQ(messages_.texts().back(), "error to open output file!");
  EXPECT_FALSE(std::filesystem::exists(Work("npreset")));
  EXPECT_EQ(ReadFile(Work("npreset.7z")), Bytes({3}));
}

TEST_F(PresetPacking, InputThatCannotBeWrittenFailsWithoutAMessage) {
  WorkbookExchange exchange = Exchange();
  exchange.work_folder = Path("no-such-folder");
  std::vector<std::uint8_t> out;
  EXPECT_FALSE(PackPreset(exchange, out, Bytes({1})));
  EXPECT_FALSE(UnpackPreset(exchange, out, Bytes({1})));
  EXPECT_TRUE(messages_.shown().empty());
}

TEST_F(PresetPacking, OutputLargerThanTwoMebibytesIsRefused) {
  WorkbookExchange exchange = Exchange();
  // 2 MiB + 1 of zeros packs small and unpacks too large for the buffer.
  const std::vector<std::uint8_t> big(kPresetBufferSize + 1, 0);
  std::vector<std::uint8_t> out = Bytes({7});
  EXPECT_FALSE(UnpackPreset(exchange, out, samples::LzmaAloneCompress(big)));
  EXPECT_EQ(out, Bytes({7}));
  ASSERT_EQ(messages_.shown().size(), 1u);
  EXPECT_NE(messages_.texts()[0].find("2097153 bytes"), std::string::npos) << messages_.texts()[0];
  // Exactly 2 MiB is fine.
  ASSERT_TRUE(UnpackPreset(
      exchange, out, samples::LzmaAloneCompress(std::vector<std::uint8_t>(kPresetBufferSize))));
  EXPECT_EQ(out.size(), kPresetBufferSize);
}

TEST_F(PresetPacking, UnpackingSomethingThatIsNotLzmaGivesWhatLzmaLeft) {
  // lzma creates its output before it finds the input bad: the file
  // exists, so the unpacking counts as done, with what was decoded.
  WorkbookExchange exchange = Exchange();
  std::vector<std::uint8_t> out = Bytes({5});
  EXPECT_TRUE(UnpackPreset(exchange, out, Bytes({'n', 'o', 't', ' ', 'l', 'z', 'm', 'a'})));
  EXPECT_TRUE(out.empty());
}

TEST_F(PresetPacking, PackPresetSheetReplacesThePresetBlock) {
  table_.records.push_back(MakeRecord(0x10, "ssdata", Bytes({1})));
  table_.records.push_back(MakeRecord(0x26, "presetXY", Bytes({0xAA, 0xBB})));
  WorkbookExchange exchange = Exchange();
  const ValueArray values = testing::Sheet({{T("ab"), {}, testing::N(7.9)}, {}, {{}, T("*k")}});
  ASSERT_TRUE(PackPresetSheet(exchange, values, 3, 3));
  const image::BlockRecord& preset = table_.records[1];
  EXPECT_EQ(preset.entry.size(), preset.data.size());
  std::vector<std::uint8_t> stream;
  ASSERT_TRUE(UnpackPreset(exchange, stream, preset.data.bytes()));
  EXPECT_EQ(stream.size(), 33u);
  EXPECT_EQ(ReadPresetTable(stream).cells.size(), 3u);
  EXPECT_TRUE(messages_.shown().empty());
  EXPECT_EQ(table_.records[0].data.bytes()[0], 1);
}

TEST_F(PresetPacking, PackPresetSheetLeavesTheBlockWhenItCannotStoreTheTable) {
  table_.records.push_back(MakeRecord(0x26, "preset", Bytes({0xAA, 0xBB})));
  WorkbookExchange exchange = Exchange();
  ValueArray wide(1, 129);
  wide.At(1, 129) = T("x");
  EXPECT_FALSE(PackPresetSheet(exchange, wide, 1, 129));
  {
    testing::ScopedPath path(Path("nothing-here").string());
    EXPECT_FALSE(PackPresetSheet(exchange, testing::Sheet({{T("a"), T("b")}}), 1, 2));
  }
  EXPECT_EQ(messages_.texts().back(), "error to open output file!");
  EXPECT_EQ(table_.records[0].data.bytes().size(), 2u);
  EXPECT_EQ(table_.records[0].entry.size(), 2u);

  // Without a "preset" block the table is packed but kept nowhere.
  table_.records[0] = MakeRecord(0x26, "presef", Bytes({0xAA}));
  messages_.clear();
  EXPECT_FALSE(PackPresetSheet(exchange, testing::Sheet({{T("a"), T("b")}}), 1, 2));
  EXPECT_EQ(messages_.texts(),
            std::vector<std::string>{"ERROR!! can not find block[preset]in dmh!"});
  EXPECT_TRUE(std::filesystem::exists(Work("npreset.7z")));
  EXPECT_EQ(table_.records[0].data.bytes().size(), 1u);
}

TEST_F(PresetPacking, BatchRunsGetAWorkFolderOfTheirOwn) {
  std::filesystem::path kept;
  {
    BatchWorkFolder first("nuv-test"), second("nuv-test");
    ASSERT_FALSE(first.path().empty());
    EXPECT_NE(first.path(), second.path());
    EXPECT_TRUE(std::filesystem::is_directory(first.path()));
    WorkbookExchange exchange = Exchange();
    exchange.work_folder = first.path();
    std::vector<std::uint8_t> packed;
    ASSERT_TRUE(PackPreset(exchange, packed, Bytes({1})));
    kept = first.path();
  }
  EXPECT_FALSE(std::filesystem::exists(kept));
}

TEST_F(PresetPacking, TheDialogsWorkFolderIsTheProgramFolder) {
  WorkbookExchange exchange{model_, table_, runner_, messages_};
  EXPECT_EQ(exchange.work_folder, platform::ProgramFolder());
}

}  // namespace
}  // namespace nuv::workbook
