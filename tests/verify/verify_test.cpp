#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "image/block_entry.h"
#include "image/dm_header.h"
#include "image_builder.h"
#include "sample_preset.h"
#include "sample_set.h"
#include "sample_toolcfg.h"
#include "test_files.h"
#include "verify/verify.h"

namespace nuv::verify {
namespace {

using samples::BlockPlan;
using samples::LegacyPlan;
using samples::NewFormatPlan;

// An image to verify and, for a legacy image, the script beside it (none
// when empty).
struct Input {
  std::vector<uint8_t> image;
  std::string script;
};

BlockPlan Block(uint8_t id, std::string name, std::vector<uint8_t> data,
                std::optional<uint32_t> offset = std::nullopt) {
  return {.id = id, .name = std::move(name), .data = std::move(data), .offset = offset};
}

// A sound legacy image (version "V1") and its sound script: a field block
// in the panel entry and one in the configuration area, and a tail entry.
constexpr char kScript[] =
    "FLASH=1M\n"
    "ID=0x21\nEM=0\nname=Panel\nOFFSET=0\n##[A][0][0][8] [B][1][8][32]##\n"
    "ID=0\nEM=0\nname=Options\nOFFSET=16\n##[C][2][0][8][0][9][1]##\n";

Input Legacy(const std::function<void(LegacyPlan&)>& change, std::string script = kScript) {
  LegacyPlan plan;
  plan.config = samples::PatternBytes(0x200, 1);
  std::vector<uint8_t> version = samples::TextBytes("V1");
  version.resize(16);
  plan.blocks = {Block(0x01, "ssdata", version, 0x2000),
                 Block(0x21, "panel", samples::PatternBytes(0x40, 2), 0x3000),
                 Block(0x0A, "nvram", samples::PatternBytes(0x1000, 3), 0xF0000)};
  plan.blocks[2].tail_flag = 1;
  change(plan);
  return {samples::BuildLegacyImage(plan).bytes, std::move(script)};
}

Input LegacyScript(std::string script) {
  return Legacy([](LegacyPlan&) {}, std::move(script));
}

// The sound one-bank tool-config sample (512 KiB), changed.
Input NewFormat(const std::function<void(NewFormatPlan&)>& change,
                std::vector<BlockPlan> blocks = samples::ToolConfigSampleBlocks()) {
  NewFormatPlan plan;
  plan.banks.push_back({.sdram_size = 64u << 20, .blocks = std::move(blocks)});
  change(plan);
  return {samples::BuildNewFormatImage(plan).bytes, {}};
}

Input NewFormatBlocks(std::vector<BlockPlan> blocks) {
  return NewFormat([](NewFormatPlan&) {}, std::move(blocks));
}

BlockPlan& Named(NewFormatPlan& plan, std::string_view name) {
  for (BlockPlan& block : plan.banks[0].blocks)
    if (block.name == name)
      return block;
  throw std::logic_error("no such block");
}

Input WithBlock(BlockPlan block) {
  return NewFormat([&](NewFormatPlan& plan) { plan.banks[0].blocks.push_back(block); });
}

Input WithPreset(std::vector<uint8_t> data) {
  return WithBlock(Block(samples::kSamplePresetId, "preset", std::move(data)));
}

std::vector<uint8_t> Table(std::vector<samples::PresetSampleCell> cells) {
  return samples::PresetTableBytes(3, 3, cells);
}

std::vector<uint8_t> ToolConfigWith(std::string_view from, std::string_view to) {
  std::string script(samples::SampleToolConfigScript());
  script.replace(script.find(from), from.size(), to);
  return samples::GzipCompress(samples::TextBytes(script));
}

struct Broken {
  const char* name;
  std::function<Input()> make;
  std::string_view check;
  Severity severity;
  std::optional<uint8_t> block;  // the id of the block the finding names
};

void PrintTo(const Broken& broken, std::ostream* out) {
  *out << broken.name;
}

const Broken kBroken[] = {
    {"BlockPastTheImageEnd", [] { return WithBlock(Block(0x50, "ghost", {}, 0x100000)); },
     kCheckBounds, Severity::Error, 0x50},
    {"DataNotMatchingItsCrc",
     [] { return NewFormat([](NewFormatPlan& p) { Named(p, "logo").crc = 0x12345678; }); },
     kCheckCrc, Severity::Error, 0x24},
    {"NoCrcNotChecked",
     [] { return NewFormat([](NewFormatPlan& p) { Named(p, "logo").crc = image::kNoCrc; }); },
     kCheckCrc, Severity::Warning, 0x24},
    {"TwoBlocksSharingBytes",
     [] {
       return NewFormat([](NewFormatPlan& p) {
         p.banks[0].blocks.push_back(Block(0x51, "a", samples::PatternBytes(0x100, 5), 0x40000));
         p.banks[0].blocks.push_back(Block(0x52, "b", samples::PatternBytes(0x100, 6), 0x400F0));
       });
     },
     kCheckOverlap, Severity::Error, 0x52},
    // Its four bytes land on the last entry's bytes that nobody reads.
    {"BlockOverItsBanksHeader",
     [] {
       return NewFormat([](NewFormatPlan& p) {
         const auto entries_end = static_cast<uint32_t>(
             image::kDmEntriesOffset + (p.banks[0].blocks.size() + 1) * image::kBlockEntrySize);
         p.banks[0].blocks.push_back(Block(0x53, "hdr", {0, 0, 0, 0}, entries_end - 4));
       });
     },
     kCheckOverlap, Severity::Error, 0x53},
    {"ConfigAreaOverTheHeader",
     [] { return Legacy([](LegacyPlan& p) { p.config_offset = p.dmh_offset - 0x10; }); },
     kCheckOverlap, Severity::Error, std::nullopt},
    {"UnalignedKernel",
     [] { return WithBlock(Block(0xA4, "kernel", samples::PatternBytes(0x100, 7))); },
     kCheckAlignment, Severity::Error, 0xA4},
    {"CountLargerThanTheEntries",
     [] {
       return Legacy([](LegacyPlan& p) {
         p.fill = 0;
         p.entry_count = static_cast<uint8_t>(p.blocks.size() + 1);
       });
     },
     kCheckBankHeader, Severity::Error, std::nullopt},
    {"BanksWithOtherSdramSizes",
     [] {
       return NewFormat([](NewFormatPlan& p) {
         p.banks.push_back({.header_offset = 0x40000,
                            .sdram_size = 32u << 20,
                            .blocks = {Block(0x60, "app", samples::PatternBytes(0x100, 8))}});
       });
     },
     kCheckBankHeader, Severity::Warning, std::nullopt},
    {"BankWithoutItsMarker",
     [] {
       return NewFormat([](NewFormatPlan& p) {
         p.banks.push_back({.header_offset = 0x40000,
                            .sdram_size = 64u << 20,
                            .blocks = {Block(0x60, "app", samples::PatternBytes(0x100, 8))},
                            .marker = '1'});
       });
     },
     kCheckBankHeader, Severity::Error, std::nullopt},
    {"ConfigAreaPastTheImageEnd",
     [] {
       return Legacy([](LegacyPlan& p) { p.config_length = static_cast<uint32_t>(p.length); });
     },
     kCheckConfigArea, Severity::Error, std::nullopt},
    {"TailEntryBelowTheFirstOne",
     [] {
       return Legacy([](LegacyPlan& p) {
         p.blocks.push_back(Block(0x0B, "keys", samples::PatternBytes(0x100, 9), 0xE0000));
         p.blocks.back().tail_flag = 1;
       });
     },
     kCheckTail, Severity::Error, 0x0B},
    {"BlockReachingIntoTheTail",
     [] { return Legacy([](LegacyPlan& p) { p.blocks[1].offset = 0xEFFF0; }); }, kCheckTail,
     Severity::Error, 0x21},
    {"UnflaggedBlockInTheTail",
     [] {
       return Legacy([](LegacyPlan& p) {
         p.blocks.push_back(Block(0x0C, "extra", samples::PatternBytes(0x100, 10), 0xF8000));
       });
     },
     kCheckTail, Severity::Warning, 0x0C},
    {"NoVersionBlock", [] { return Legacy([](LegacyPlan& p) { p.blocks[0].name = "version"; }); },
     kCheckSoftwareVersion, Severity::Error, std::nullopt},
    {"ScriptForAnotherFlashSize", [] { return LegacyScript("FLASH=2M\nID=0x21\n"); }, kCheckScript,
     Severity::Error, std::nullopt},
    {"NoScriptBesideTheImage", [] { return LegacyScript(""); }, kCheckScript, Severity::Warning,
     std::nullopt},
    {"ScriptBlockWithoutEntry",
     [] { return LegacyScript("ID=0x77\nEM=0\nname=Gone\n##[A][0][0][8]##\n"); }, kCheckScript,
     Severity::Error, 0x77},
    {"FieldPastItsBlock",
     [] { return LegacyScript("ID=0x21\nEM=0\nname=Panel\n##[A][0][504][16]##\n"); },
     kCheckScriptField, Severity::Error, 0x21},
    {"FieldPastTheConfigArea",
     [] { return LegacyScript("ID=0\nEM=0\nname=Opt\nOFFSET=508\n##[A][1][0][64]##\n"); },
     kCheckScriptField, Severity::Error, 0},
    {"NoToolConfigBlock",
     [] {
       return NewFormatBlocks({Block(0x20, "app", {1, 2, 3})});
     },
     kCheckToolConfig, Severity::Warning, std::nullopt},
    {"ToolConfigNotGzip",
     [] {
       return NewFormatBlocks(
           samples::ToolConfigSampleBlocks(samples::TextBytes(samples::SampleToolConfigScript())));
     },
     kCheckToolConfig, Severity::Error, 0x40},
    {"ToolConfigWithoutHeader",
     [] {
       return NewFormatBlocks(samples::ToolConfigSampleBlocks(ToolConfigWith("CFGHEADER", "//")));
     },
     kCheckToolConfig, Severity::Error, 0x40},
    {"ToolConfigItemPastItsBlock",
     [] {
       return NewFormatBlocks(
           samples::ToolConfigSampleBlocks(ToolConfigWith("[Clock][2][162]", "[Clock][2][190]")));
     },
     kCheckToolConfig, Severity::Error, 0x40},
    {"PresetNotLzma",
     [] {
       return WithPreset(Table({{1, 1, u"a"}}));
     },
     kCheckPreset, Severity::Error, samples::kSamplePresetId},
    {"PresetNoTable",
     [] { return WithPreset(samples::LzmaAloneCompress(samples::TextBytes("no table"))); },
     kCheckPreset, Severity::Error, samples::kSamplePresetId},
    {"PresetEndingInsideAText",
     [] {
       std::vector<uint8_t> table = Table({{1, 1, u"abc"}});
       table.resize(table.size() - 2);
       return WithPreset(samples::LzmaAloneCompress(table));
     },
     kCheckPreset, Severity::Error, samples::kSamplePresetId},
    {"PresetTextLongerThanACell",
     [] {
       return WithPreset(samples::LzmaAloneCompress(Table({{1, 1, std::u16string(32767, u'x')}})));
     },
     kCheckPreset, Severity::Warning, samples::kSamplePresetId},
    {"PresetRowsBeyondASheet",
     [] {
       std::vector<samples::PresetSampleCell> cells;
       for (uint32_t row = 1; row <= 65537; ++row)
         cells.push_back({row, 1, u""});
       return WithPreset(samples::LzmaAloneCompress(Table(cells)));
     },
     kCheckPreset, Severity::Warning, samples::kSamplePresetId},
};

class VerifyTest : public ::testing::Test {
 protected:
  VerifyOutcome Verify(const Input& input) {
    EXPECT_TRUE(samples::WriteBytesFile(folder_ / "image.bin", input.image));
    if (!input.script.empty()) {
      EXPECT_TRUE(samples::WriteBytesFile(folder_ / "V1", samples::TextBytes(input.script)));
    }
    return Verify((folder_ / "image.bin").string());
  }
  VerifyOutcome Verify(const std::string& path) {
    RecordedMessages messages;
    VerifyOutcome outcome = VerifyImage({path}, messages);
    EXPECT_EQ(outcome.result == VerifyResult::kRefused, !messages.shown().empty());
    return outcome;
  }

  nuv::test::TempFolder folder_;
  nuv::test::PrivateRootFolder private_root_;
};

std::string Listed(const std::vector<Finding>& findings) {
  std::string out;
  for (const Finding& f : findings)
    out += "\n  " + std::string(f.check) + ": " + f.text;
  return out;
}

TEST_F(VerifyTest, TheUnbrokenImagesOfTheCasesHaveNoFinding) {
  for (const Input& input : {Legacy([](LegacyPlan&) {}), NewFormat([](NewFormatPlan&) {})}) {
    const VerifyOutcome outcome = Verify(input);
    EXPECT_EQ(outcome.result, VerifyResult::kChecked);
    EXPECT_TRUE(outcome.findings.empty()) << Listed(outcome.findings);
  }
}

class BrokenImageTest : public VerifyTest, public ::testing::WithParamInterface<Broken> {};

TEST_P(BrokenImageTest, IsFoundByItsCheck) {
  const Broken& broken = GetParam();
  const VerifyOutcome outcome = Verify(broken.make());
  ASSERT_EQ(outcome.result, VerifyResult::kChecked);
  const auto found =
      std::find_if(outcome.findings.begin(), outcome.findings.end(), [&](const Finding& f) {
        return f.check == broken.check && f.severity == broken.severity &&
               (f.block ? std::optional(f.block->id) : std::nullopt) == broken.block;
      });
  EXPECT_NE(found, outcome.findings.end()) << Listed(outcome.findings);
  EXPECT_EQ(outcome.sound(), broken.severity == Severity::Warning) << Listed(outcome.findings);
}

INSTANTIATE_TEST_SUITE_P(Cases, BrokenImageTest, ::testing::ValuesIn(kBroken),
                         [](const auto& test) { return std::string(test.param.name); });

// The sample images are sound but for the ones made to show a fault; only
// images that Pre-Parse refuses are not verified.
TEST_F(VerifyTest, TheSamplesAreSoundButTheBrokenOnes) {
  const std::vector<std::string> broken = {
      "verify/corrupted-block.bin",        "verify/overlapping-blocks.bin",
      "toolcfg/new-toolcfg-not-gzip.bin",  "toolcfg/new-toolcfg-unknown-index.bin",
      "toolcfg/new-toolcfg-no-header.bin", "exchange/new-preset-not-lzma.bin"};
  std::string error;
  ASSERT_TRUE(samples::WriteAll(folder_ / "samples", error)) << error;
  size_t verified = 0;
  for (const samples::SampleFile& file : samples::GenerateAll()) {
    if (!file.name.ends_with(".bin"))
      continue;
    SCOPED_TRACE(file.name);
    const VerifyOutcome outcome = Verify((folder_ / "samples" / file.name).string());
    if (outcome.result == VerifyResult::kRefused)
      continue;
    ++verified;
    const bool meant_broken = std::find(broken.begin(), broken.end(), file.name) != broken.end();
    EXPECT_EQ(outcome.sound(), !meant_broken) << Listed(outcome.findings);
  }
  EXPECT_GE(verified, 12u);
}

}  // namespace
}  // namespace nuv::verify
