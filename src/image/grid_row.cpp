#include "image/grid_row.h"

#include <algorithm>
#include <cstring>

#include "image/bytes.h"

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
  GridRow row;
  row.cells[kColumnId] = Hex(entry.block_id(), 2, '0');
  row.cells[kColumnSize] = Hex(entry.size(), 8, ' ');
  row.cells[kColumnCrc] = Hex(entry.crc(), 8, '0');
  row.cells[kColumnName] = entry.name();
  row.cells[kColumnVersion] = Hex(entry.version(), 8, '0');
  row.cells[kColumnTime] = entry.time();
  return row;
}

bool IsSoftwareVersionBlock(const BlockEntry& entry) {
  static constexpr char kPrefix[] = "ssdata";
  return std::memcmp(entry.name_bytes().data(), kPrefix, sizeof kPrefix - 1) == 0;
}

std::string SoftwareVersionAt(std::span<const uint8_t> image, uint64_t pos) {
  if (pos >= image.size())
    return {};
  const size_t start = static_cast<size_t>(pos);
  return FixedText(image.subspan(start, std::min(kSoftwareVersionLength, image.size() - start)));
}

}  // namespace nuv::image
