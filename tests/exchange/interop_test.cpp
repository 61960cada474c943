// The exchange checked by independent programs run as real processes:
// `nuv workbook` exports as a script runs it and xlrd reads the result; a
// workbook edited with xlwt is imported; workbooks left as they were, or
// saved again by LibreOffice, give every block back byte for byte.
#include <gtest/gtest.h>

#include "exchange/export_workbook.h"
#include "exchange/import_workbook.h"
#include "exchange/preset_packing.h"
#include "exchange/preset_table.h"
#include "exchange_test_support.h"
#include "image/pre_parse.h"
#include "sample_codepage.h"
#include "sample_preset.h"
#include "sample_set.h"
#include "sample_toolcfg.h"
#include "toolcfg/tool_config_parser.h"

namespace nuv::exchange {
namespace {

using namespace workbook;

using testing::Bytes;
using testing::kPython;
using testing::Quote;
using testing::Shell;

// Sets the `length`-bit field at bit `position` of `bytes` to `value`,
// least significant bit first: how the expected bytes are worked out here,
// independently of the import's own writer.
void SetField(std::vector<std::uint8_t>& bytes, std::size_t position, unsigned length,
              std::uint64_t value) {
  for (unsigned bit = 0; bit < length; ++bit) {
    const std::size_t at = position + bit;
    const auto mask = static_cast<std::uint8_t>(1u << (at % 8));
    bytes.at(at / 8) = static_cast<std::uint8_t>(((value >> bit) & 1) ? bytes.at(at / 8) | mask
                                                                      : bytes.at(at / 8) & ~mask);
  }
}

template <typename Range>
void SetBytes(std::vector<std::uint8_t>& bytes, std::size_t position, const Range& range) {
  std::copy(std::begin(range), std::end(range),
            bytes.begin() + static_cast<std::ptrdiff_t>(position));
}

class ExchangeInterop : public testing::ExchangeTest {
 protected:
  void SetUp() override {
    ExchangeTest::SetUp();
    std::string error;
    ASSERT_TRUE(samples::WriteAll(Path("s"), error)) << error;
  }

  // Pre-parses the sample image with its preset block and parses the
  // sample script against it.
  void LoadSample() {
    ASSERT_EQ(image::PreParse(flash_, {Path("s/exchange/new-preset.bin").string(), false, false},
                              messages_)
                  .result,
              image::PreParseResult::kParsed);
    table_ = flash_.table;
    ASSERT_EQ(
        toolcfg::ParseToolConfigText(model_, samples::SampleToolConfigScript(), table_, messages_),
        toolcfg::ParseResult::kParsed);
  }
  static std::vector<std::uint8_t> Block(const image::BlockTable& table, std::string_view name) {
    for (std::size_t k = 0; k < table.records.size(); ++k)
      if (table.records[k].entry.name() == name)
        return testing::BlockBytes(table, k);
    ADD_FAILURE() << "no block " << name;
    return {};
  }

  // Copies `workbook` to edited.xls with xlrd and xlwt, as a person's
  // edits would come back, with the cells `edits` names changed.
  void EditWorkbook(const std::string& workbook, const std::string& edits) {
    std::filesystem::copy_file(Path(workbook), Path("edited.xls"));
    ASSERT_EQ(Shell(std::string(kPython) + " " +
                    Quote(std::filesystem::path(NUV_TEST_SCRIPTS) / "newfmt_check.py") + " edit " +
                    Quote(Path("edited.xls")) + edits),
              0);
  }

  image::FlashImage flash_;
};

TEST_F(ExchangeInterop, AWorkbookEditedWithXlwtChangesExactlyTheExpectedBytes) {
  NUV_SKIP_WITHOUT(kPython);
  // The sample exported and edited with xlwt as a person would.
  LoadSample();
  WorkbookExchange exchange = Exchange();
  EXPECT_EQ(ExportWorkbook(exchange).result, ExportResult::kSaved);
  const std::string edits =
      " 'IR_FP_Key:3:2=21' 'IR_FP_Key:6:2=291'"               // Power, Custom code
      " 'Sys_Config:4:2=80' 'Sys_Config:5:2=1234'"            // Volume, Channel
      " 'Sys_Config:6:2=123456789012' 'Sys_Config:7:2=ASIA'"  // Serial, Region
      " 'Sys_Config:9:2=Grüße' 'Sys_Config:10:2=3'"           // Welcome, Clock
      " 'File_Path:2:2=" +
      Path("s/exchange/logo-10.bin").string() +
      "' 'File_Path:3:2=" + Path("s/exchange/hwinfo.txt").string() +
      "' 'Program:3:2=Канал 7' 'Program:6:4=42'";
  EditWorkbook("preset.xls", edits);
  // Every block is what the edits must have made of the loaded image.
  messages_.clear();
  ASSERT_EQ(ImportWorkbook(exchange, Path("edited.xls").string()), ImportResult::kImported);
  EXPECT_TRUE(messages_.shown().empty()) << messages_.texts().front();

  std::vector<std::uint8_t> irkeys = Block(flash_.table, "irkeys");
  SetField(irkeys, 0, 8, 21);
  SetField(irkeys, 28, 12, 291);
  EXPECT_EQ(Block(table_, "irkeys"), irkeys);
  std::vector<std::uint8_t> sysconf = Block(flash_.table, "sysconf");
  SetField(sysconf, 32 + 1, 7, 80);
  SetField(sysconf, 32 + 9, 14, 1234);
  SetField(sysconf, 32 + 27, 64, 123456789012u);
  SetBytes(sysconf, 4 + 12, std::string_view("ASIA", 5));
  EXPECT_EQ(Block(table_, "sysconf"), sysconf);
  std::vector<std::uint8_t> panel = Block(flash_.table, "panel");
  SetBytes(panel, 0,
           std::string_view("Gr\xFC\xDF"
                            "e",
                            6));  // Windows-1252
  SetField(panel, 162, 4, 3);
  EXPECT_EQ(Block(table_, "panel"), panel);
  EXPECT_EQ(Block(table_, "logo"), samples::PatternBytes(10, 0x10));
  std::vector<std::uint8_t> hwinfo(5120, 0);
  SetBytes(hwinfo, 0, Bytes({4, 0, 0x01, 0x02, 0x1F, 0x00}));
  SetBytes(hwinfo, 40, Bytes({3, 0, '0', 0x3F, '1', 0x06, 'A', 0x77}));
  EXPECT_EQ(Block(table_, "hwinfo"), hwinfo);
  // Blocks no sheet names are as they were.
  EXPECT_EQ(Block(table_, "ssdata"), Block(flash_.table, "ssdata"));
  EXPECT_EQ(Block(table_, "toolcfg"), Block(flash_.table, "toolcfg"));

  // The preset block holds the edited "Program" sheet, packed.
  const std::optional<std::vector<std::uint8_t>> stream =
      UnpackPreset(exchange, Block(table_, "preset"));
  ASSERT_TRUE(stream);
  std::vector<std::u16string> texts;
  for (const PresetCell& cell : ReadPresetTable(*stream).cells)
    texts.push_back(cell.text);
  EXPECT_EQ(texts,
            (std::vector<std::u16string>{
                u"*Favourites", u"No", u"Name", u"Frequency", u"Locked", u"1", u"Канал 7", u"11778",
                u"0", u"2", u"日本のチャンネル", u"12188", u"Ωmega \U0001F4FA", u"42"}));
  // The used range: six rows, and four columns, since the export moved
  // "Locked" next to "Frequency" and the highlight's fill did not survive
  // the copy.
  EXPECT_EQ((*stream)[11], 6);
  EXPECT_EQ((*stream)[13], 4);
}

class WorkbookCli : public ExchangeInterop {
 protected:
  // Runs `nuv` with a private "D:\" of its own: the script's extraction
  // goes through the fixed "D:\tmp", which tests running side by side
  // must not share.
  int Nuv(const std::string& args) {
    return Shell("NUV_PRIVATE_ROOT=" + Quote(Path("d")) + " " + std::string(NUV_CLI) + " " + args +
                 " > " + Quote(Path("out.txt")) + " 2> " + Quote(Path("err.txt")));
  }
  std::string Text(const std::string& name) { return testing::ReadText(Path(name)); }
  std::string Sample(const std::string& name) { return Quote(Path("s/" + name)); }

  // The samples whose workbooks go through a round trip.
  static constexpr const char* kRoundTrips[] = {
      "toolcfg/new-toolcfg.bin", "toolcfg/new-toolcfg-two-banks.bin", "exchange/new-preset.bin",
      "codepage/new-codepage.bin"};
  static std::string Stem(const std::string& sample) {
    return std::filesystem::path(sample).stem().string();
  }
  // Exports every round-trip sample to STEM.xls.
  void ExportSamples() {
    for (const std::string sample : kRoundTrips)
      ASSERT_EQ(Nuv("workbook " + Sample(sample) + " -o " + Quote(Path(Stem(sample) + ".xls"))), 0)
          << Text("err.txt");
  }
  image::BlockTable Blocks(const std::filesystem::path& image) {
    image::FlashImage flash;
    EXPECT_EQ(image::PreParse(flash, {image.string(), false, false}, messages_).result,
              image::PreParseResult::kParsed)
        << image;
    return flash.table;
  }
  // Builds the new image of `sample` from `workbook` as Save New Flash
  // does, and compares its blocks with the sample's: every block, the
  // packed "preset" block too, must be as it was, except that a workbook
  // LibreOffice saved again holds a carriage return of a text as a line
  // feed, which the text block of the code-page sample then shows.
  void ExpectSameBlocks(const std::string& sample, const std::filesystem::path& workbook,
                        bool line_feeds = false) {
    SCOPED_TRACE(sample);
    ASSERT_EQ(
        Nuv("build " + Sample(sample) + " " + Quote(workbook) + " -o " + Quote(Path("built.bin"))),
        0)
        << Text("err.txt");
    const image::BlockTable before = Blocks(Path("s/" + sample)), after = Blocks(Path("built.bin"));
    ASSERT_EQ(after.records.size(), before.records.size());
    for (std::size_t k = 0; k < before.records.size(); ++k) {
      const std::string name = before.records[k].entry.name();
      EXPECT_EQ(after.records[k].entry.name(), name);
      std::vector<std::uint8_t> expected = testing::BlockBytes(before, k);
      if (line_feeds && name == "texte")
        std::replace(expected.begin(), expected.end(), std::uint8_t{'\r'}, std::uint8_t{'\n'});
      EXPECT_EQ(testing::BlockBytes(after, k), expected) << name;
    }
  }
};

TEST_F(WorkbookCli, AnUntouchedWorkbookGivesEveryBlockBackAndAnEditedNameIsFound) {
  ExportSamples();
  for (const std::string sample : kRoundTrips)
    ExpectSameBlocks(sample, Path(Stem(sample) + ".xls"));

  // "Lautst\xE4rke" in Windows-1252 is the sheet's "Lautstärke".
  NUV_SKIP_WITHOUT(kPython);
  EditWorkbook("new-codepage.xls", " 'IR_FP_Key:7:2=77'");
  ASSERT_EQ(Nuv("build " + Sample("codepage/new-codepage.bin") + " " + Quote(Path("edited.xls")) +
                " -o " + Quote(Path("built.bin"))),
            0)
      << Text("err.txt");
  const image::BlockTable before = Blocks(Path("s/codepage/new-codepage.bin"));
  ASSERT_EQ(before.records[0].entry.name(), "gro\xDF");
  std::vector<std::uint8_t> expected = testing::BlockBytes(before, 0);
  ASSERT_EQ(expected.at(samples::kCodePageVolumeByte), samples::kCodePageVolume);
  expected[samples::kCodePageVolumeByte] = 77;
  EXPECT_EQ(testing::BlockBytes(Blocks(Path("built.bin")), 0), expected);
}

TEST_F(WorkbookCli, AWorkbookLibreOfficeSavedAgainGivesEveryBlockBack) {
  NUV_SKIP_WITHOUT(testing::kOffice);
  ExportSamples();
  std::vector<std::filesystem::path> workbooks;
  for (const std::string sample : kRoundTrips)
    workbooks.push_back(Path(Stem(sample) + ".xls"));
  testing::OfficeToXls(workbooks, folder());
  for (const std::string sample : kRoundTrips)
    ExpectSameBlocks(sample, Path("office") / (Stem(sample) + ".xls"), true);
}

TEST_F(WorkbookCli, WorkbookCommandSavesTheLayoutXlrdSeesWithTheYellowHighlights) {
  ASSERT_EQ(Nuv("workbook " + Sample("exchange/new-preset.bin")), 0) << Text("err.txt");
  EXPECT_EQ(Text("out.txt"), Path("preset.xls").string() + "\n");
  EXPECT_EQ(Text("err.txt"), "");
  NUV_SKIP_WITHOUT(kPython);
  const std::string listing = testing::XlrdListing(Path("preset.xls"), Path("xlrd.txt"));
  for (const std::string line : {
           "Program\t\t\tsheet\t",
           "Program\t1\t1\ttext\t*Favourites",
           "Program\t1\t5\tfill\t6",
           "Program\t3\t2\ttext\tКанал 1",
           "IR_FP_Key\t\t\tsheet\t",
           "IR_FP_Key\t1\t5\ttext\tDescription",
           "IR_FP_Key\t2\t1\ttext\t*irkeys",
           "IR_FP_Key\t2\t1\tfill\t6",
           "IR_FP_Key\t2\t5\tfill\t6",
           "IR_FP_Key\t3\t1\ttext\tPower",
           "IR_FP_Key\t3\t2\tnumber\t12",
           "IR_FP_Key\t3\t5\ttext\tPower key",
           "IR_FP_Key\t6\t3\tnumber\t0",
           "IR_FP_Key\t6\t4\tnumber\t4095",
           "Sys_Config\t2\t1\ttext\t*sysconf",
           "Sys_Config\t2\t3\tfill\t6",
           "Sys_Config\t6\t2\tnumber\t1.729775750677557e+19",
           "Sys_Config\t7\t2\ttext\tEUROPE-WEST",
           "Sys_Config\t8\t1\ttext\t*panel",
           "Sys_Config\t9\t2\ttext\tHELLO NUV",
           "File_Path\t1\t1\ttext\tBlock",
           "File_Path\t2\t1\ttext\t*logo",
           "File_Path\t3\t1\ttext\t*hwinfo",
       })
    EXPECT_NE(listing.find(line + "\n"), std::string::npos) << line;
  // Highlights span the preset table's five columns and no more; "File_Path"
  // and item rows have none.
  for (const char* none : {"IR_FP_Key\t2\t6\tfill", "IR_FP_Key\t3\t1\tfill",
                           "File_Path\t2\t1\tfill", "Program\t2\t1\tfill"})
    EXPECT_EQ(listing.find(none), std::string::npos) << none;
}

TEST_F(WorkbookCli, WorkbookCommandWritesWhereToldAndReportsFailures) {
  ASSERT_EQ(
      Nuv("workbook " + Sample("exchange/new-preset.bin") + " -o " + Quote(Path("my book.xls"))), 0)
      << Text("err.txt");
  EXPECT_TRUE(std::filesystem::exists(Path("my book.xls")));
  EXPECT_FALSE(std::filesystem::exists(Path("preset.xls")));

  // Without a preset block the lookup's message comes first, then the
  // one about the highlight; the workbook is still written.
  ASSERT_EQ(
      Nuv("workbook " + Sample("toolcfg/new-toolcfg.bin") + " -o " + Quote(Path("plain.xls"))), 0);
  EXPECT_EQ(Text("err.txt"),
            "nuv: ERROR!! can not find block[preset]in dmh!\n"
            "nuv: The preset table gives no column count (the image has no table, or its table "
            "has 0 columns), so rows are not highlighted.\n");
  EXPECT_TRUE(std::filesystem::exists(Path("plain.xls")));

  EXPECT_EQ(Nuv("workbook " + Quote(Path("missing.bin"))), 1);
  EXPECT_NE(Text("err.txt").find("nuv: "), std::string::npos);
  EXPECT_EQ(Nuv("workbook " + Sample("exchange/new-preset.bin") + " -o"), 2);
  // A legacy image carries no tool-config script.
  EXPECT_EQ(Nuv("workbook " + Sample("images/legacy.bin")), 1);
  EXPECT_EQ(Text("err.txt"),
            "nuv: A legacy image has no workbook: it carries no tool-config script.\n");
  EXPECT_FALSE(std::filesystem::exists(Path("preset.xls")));
}

}  // namespace
}  // namespace nuv::exchange
