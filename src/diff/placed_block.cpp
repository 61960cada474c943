#include "diff/placed_block.h"

#include <algorithm>

namespace nuv::diff {
namespace {

PlacedBlock Place(const image::BlockEntry& entry, uint8_t bank, uint64_t position,
                  std::span<const uint8_t> image) {
  PlacedBlock block{entry.block_id(), entry.name(), bank, position, entry.size(), entry.crc(), {}};
  if (position < image.size())
    block.data = image.subspan(
        static_cast<size_t>(position),
        static_cast<size_t>(std::min<uint64_t>(entry.size(), image.size() - position)));
  return block;
}

}  // namespace

std::vector<PlacedBlock> PlacedBlocks(const image::FlashImage& flash) {
  std::vector<PlacedBlock> blocks;
  const std::span<const uint8_t> bytes = flash.bytes();
  if (flash.kind == image::ImageKind::NewFormat) {
    for (const image::BlockRecord& record : flash.table.records)
      blocks.push_back(Place(record.entry, record.bank,
                             uint64_t{record.header_offset} + record.entry.offset(), bytes));
  } else if (flash.kind == image::ImageKind::Legacy) {
    for (const image::BlockEntry& entry : flash.legacy_entries)
      blocks.push_back(Place(entry, 0, entry.offset(), bytes));
  }
  return blocks;
}

}  // namespace nuv::diff
