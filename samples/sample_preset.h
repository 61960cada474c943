#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "image/block_table.h"
#include "sample_set.h"

namespace nuv::samples {

// `bytes` in the .lzma ("alone") format that lzma_alone's "e" writes and
// its "d" reads, made with liblzma: the same bytes always give the same
// file.
std::vector<uint8_t> LzmaAloneCompress(std::span<const uint8_t> bytes);

// A block record as Pre-Parse makes it, with its own `data` and the
// entry's id, name (its first 8 characters) and size; for tests and
// benchmarks that work on a block table without an image.
image::BlockRecord OwnBlockRecord(uint8_t id, std::string_view name, std::vector<uint8_t> data);

// One cell of a preset table: its row and column (from 1) and its text.
struct PresetSampleCell {
  uint32_t row;
  uint32_t column;
  std::u16string text;
};

// The unpacked preset table of `cells` (in row order, columns ascending
// within a row), with the given row and column counts.
std::vector<uint8_t> PresetTableBytes(uint16_t rows, uint16_t columns,
                                      const std::vector<PresetSampleCell>& cells);

// The preset table of the samples: a starred group row, a title row and
// channels with names in several scripts; 6 rows, 5 columns, row 4 empty.
std::vector<PresetSampleCell> SamplePresetCells();
inline constexpr uint16_t kSamplePresetRows = 6;
inline constexpr uint16_t kSamplePresetColumns = 5;
// Id and name of the block that carries it.
inline constexpr uint8_t kSamplePresetId = 0x26;

// The "exchange" samples: the tool-config sample image with a "preset"
// block ("exchange/new-preset.bin"), the same with a preset block that is
// not lzma data, the unpacked table, a hardware info file and a small
// binary file for the "File_Path" sheet.
void GenerateExchangeSamples(std::vector<SampleFile>& out);

}  // namespace nuv::samples
