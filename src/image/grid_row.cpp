#include "image/grid_row.h"

#include <algorithm>
#include <cstring>

#include "common/bytes.h"

namespace nuv::image {
namespace {

// What printf's "%0<width>X" (pad '0') or "%<width>X" (pad ' ') gives.
std::string Hex(uint32_t value, size_t width, char pad) {
  std::string digits;
  do {
    digits.insert(digits.begin(), "0123456789ABCDEF"[value & 0xF]);
    value >>= 4;
  } while (value != 0);
  if (digits.size() < width)
    digits.insert(0, width - digits.size(), pad);
  return digits;
}

}  // namespace

GridRow MakeGridRow(const BlockEntry& entry) {
  return {.block_id = entry.block_id(),
          .size = entry.size(),
          .crc = entry.crc(),
          .name = entry.name(),
          .version = entry.version(),
          .time = entry.time()};
}

GridCellTexts FormatGridRow(const GridRow& row) {
  GridCellTexts cells;
  cells[kColumnId] = Hex(row.block_id, 2, '0');
  cells[kColumnSize] = Hex(row.size, 8, ' ');
  cells[kColumnCrc] = Hex(row.crc, 8, '0');
  cells[kColumnName] = row.name;
  cells[kColumnVersion] = Hex(row.version, 8, '0');
  cells[kColumnTime] = row.time;
  return cells;
}

bool IsSoftwareVersionBlock(const BlockEntry& entry) {
  static constexpr char kPrefix[] = "ssdata";
  return std::memcmp(entry.name_bytes().data(), kPrefix, sizeof kPrefix - 1) == 0;
}

std::string SoftwareVersionAt(std::span<const uint8_t> image, uint64_t pos) {
  if (pos >= image.size())
    return {};
  const size_t start = static_cast<size_t>(pos);
  return common::FixedText(
      image.subspan(start, std::min(kSoftwareVersionLength, image.size() - start)));
}

}  // namespace nuv::image
