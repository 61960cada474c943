// The preset table of the samples and the block records that tests build
// block tables from.
#include "sample_preset.h"

#include <array>

#include "image_builder.h"

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

}  // namespace nuv::samples
