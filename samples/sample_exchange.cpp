// Samples for the workbook exchange: a new-format image whose "preset"
// block carries a preset table packed in the .lzma format, and the files a
// user names on the "File_Path" sheet. Needs liblzma.
#include <lzma.h>

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

std::vector<uint8_t> LzmaAloneCompress(std::span<const uint8_t> bytes) {
  lzma_options_lzma options;
  if (lzma_lzma_preset(&options, 6))
    return {};
  lzma_stream stream = LZMA_STREAM_INIT;
  if (lzma_alone_encoder(&stream, &options) != LZMA_OK)
    return {};
  std::vector<uint8_t> out(bytes.size() + bytes.size() / 2 + 4096);
  stream.next_in = bytes.data();
  stream.avail_in = bytes.size();
  stream.next_out = out.data();
  stream.avail_out = out.size();
  const lzma_ret status = lzma_code(&stream, LZMA_FINISH);
  out.resize(stream.total_out);
  lzma_end(&stream);
  if (status != LZMA_STREAM_END)
    return {};
  return out;
}

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
