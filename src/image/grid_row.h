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

// The texts of one row: block_id "%02X", size "%8X" (blanks in front),
// crc "%08X", name (at most 8 characters), version "%08X", time (at most 12).
struct GridRow {
  std::array<std::string, kGridColumns> cells;

  friend bool operator==(const GridRow&, const GridRow&) = default;
};

GridRow MakeGridRow(const BlockEntry& entry);

// The block whose 8 name bytes begin with "ssdata" carries the software
// version in its first 16 data bytes.
bool IsSoftwareVersionBlock(const BlockEntry& entry);
inline constexpr size_t kSoftwareVersionLength = 16;

// The software version text at image position `pos`: the bytes up to the
// first NUL, at most 16, cut at the end of the image (empty when `pos` lies
// beyond it).
std::string SoftwareVersionAt(std::span<const uint8_t> image, uint64_t pos);

}  // namespace nuv::image
