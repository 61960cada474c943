#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "image/block_entry.h"

namespace nuv::image {

// The block list of the main form: one row per block, these columns.
enum GridColumn : size_t {
  kColumnId,
  kColumnSize,
  kColumnCrc,
  kColumnName,
  kColumnVersion,
  kColumnTime
};
inline constexpr size_t kGridColumns = 6;
inline constexpr size_t kGridRows = 64;

// The values of one row, as the entry holds them: name and time up to their
// first NUL, at most 8 and 12 characters.
struct GridRow {
  uint8_t block_id = 0;
  uint32_t size = 0;
  uint32_t crc = 0;
  std::string name{};
  uint32_t version = 0;
  std::string time{};

  friend bool operator==(const GridRow&, const GridRow&) = default;
};

GridRow MakeGridRow(const BlockEntry& entry);

// The cells' texts, one per column: block_id "%02X", size "%8X" (blanks in
// front), crc "%08X", name, version "%08X", time.
using GridCellTexts = std::array<std::string, kGridColumns>;
GridCellTexts FormatGridRow(const GridRow& row);

// The block whose 8 name bytes begin with "ssdata" carries the software
// version in its first 16 data bytes.
bool IsSoftwareVersionBlock(const BlockEntry& entry);
inline constexpr size_t kSoftwareVersionLength = 16;

// The software version text at image position `pos`: the bytes up to the
// first NUL, at most 16, cut at the end of the image (empty when `pos` lies
// beyond it).
std::string SoftwareVersionAt(std::span<const uint8_t> image, uint64_t pos);

}  // namespace nuv::image
