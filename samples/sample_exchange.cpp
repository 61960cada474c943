// Samples for the workbook exchange: a new-format image whose "preset"
// block carries a preset table packed in the .lzma format, and the files a
// user names on the "File_Path" sheet.
#include "image_builder.h"
#include "sample_preset.h"
#include "sample_toolcfg.h"

namespace nuv::samples {
namespace {

std::vector<uint8_t> PresetImage(std::vector<uint8_t> preset) {
  NewFormatPlan plan;
  BankPlan bank;
  bank.sdram_size = 64u << 20;
  bank.blocks = ToolConfigSampleBlocks();
  BlockPlan block;
  block.id = kSamplePresetId;
  block.name = "preset";
  block.data = std::move(preset);
  block.version = 0x00010000;
  block.time = "2026-12-05";
  bank.blocks.push_back(std::move(block));
  plan.banks.push_back(std::move(bank));
  return BuildNewFormatImage(plan).bytes;
}

constexpr char kHwInfo[] =
    "// front panel of the sample box\n"
    "panel starts\n"
    "0x01, 0x02, 0x1F,\n"
    "0x00,##\n"
    "----\n"
    "led starts\n"
    "{'0', 0x3F}, {'1', 0x06},\n"
    "{'A', 0x77},##\n";

}  // namespace

void GenerateExchangeSamples(std::vector<SampleFile>& out) {
  const std::vector<uint8_t> table =
      PresetTableBytes(kSamplePresetRows, kSamplePresetColumns, SamplePresetCells());
  out.push_back({"exchange/preset-table.bin", table});
  out.push_back({"exchange/new-preset.bin", PresetImage(LzmaAloneCompress(table))});
  // lzma refuses it, and the export with it.
  out.push_back({"exchange/new-preset-not-lzma.bin", PresetImage(table)});
  out.push_back({"exchange/hwinfo.txt", TextBytes(kHwInfo)});
  out.push_back({"exchange/logo-10.bin", PatternBytes(10, 0x10)});
}

namespace {
GeneratorRegistration registration("exchange", &GenerateExchangeSamples);
}  // namespace

}  // namespace nuv::samples
