// Samples for the workbook exchange: a new-format image whose "preset"
// block carries a preset table packed in the .lzma format, and the files a
// user names on the "File_Path" sheet.
#include "sample_preset.h"

#include <lzma.h>

#include <array>

#include "image_builder.h"
#include "sample_toolcfg.h"

namespace nuv::samples {
namespace {

void AppendUtf16(std::vector<uint8_t>& out, std::u16string_view text) {
  for (char16_t c : text) {
    out.push_back(static_cast<uint8_t>(c & 0xFF));
    out.push_back(static_cast<uint8_t>(c >> 8));
  }
  out.push_back(0);
  out.push_back(0);
}

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

image::BlockRecord OwnBlockRecord(uint8_t id, std::string_view name, std::vector<uint8_t> data) {
  std::array<uint8_t, image::kBlockEntrySize> bytes{};
  bytes[0] = id;
  for (size_t i = 0; i < name.size() && i < 8; ++i)
    bytes[24 + i] = static_cast<uint8_t>(name[i]);
  image::BlockRecord record;
  record.entry = image::BlockEntry(bytes);
  record.entry.set_size(static_cast<uint32_t>(data.size()));
  record.data = image::BlockData(std::move(data));
  return record;
}

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

std::vector<uint8_t> PresetTableBytes(uint16_t rows, uint16_t columns,
                                      const std::vector<PresetSampleCell>& cells) {
  std::vector<uint8_t> out = TextBytes("presetdata");
  out.push_back(static_cast<uint8_t>(rows >> 8));
  out.push_back(static_cast<uint8_t>(rows & 0xFF));
  out.push_back(static_cast<uint8_t>(columns >> 8));
  out.push_back(static_cast<uint8_t>(columns & 0xFF));
  uint32_t row = 0;
  for (const PresetSampleCell& cell : cells) {
    uint8_t marker = static_cast<uint8_t>((cell.column - 1) & 0x7F);
    if (cell.row != row) {
      marker |= 0x80;
      row = cell.row;
    }
    out.push_back(marker);
    AppendUtf16(out, cell.text);
  }
  return out;
}

std::vector<PresetSampleCell> SamplePresetCells() {
  return {
      {1, 1, u"*Favourites"},
      {2, 1, u"No"},
      {2, 2, u"Name"},
      {2, 3, u"Frequency"},
      {2, 5, u"Locked"},
      {3, 1, u"1"},
      {3, 2, u"Канал 1"},
      {3, 3, u"11778"},
      {3, 5, u"0"},
      {5, 1, u"2"},
      {5, 2, u"日本のチャンネル"},
      {5, 3, u"12188"},
      {6, 2, u"Ωmega \U0001F4FA"},
  };
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
