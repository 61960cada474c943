#include "image/image_layout.h"

#include <algorithm>

#include "image/dm_header.h"
#include "image/legacy_header.h"

namespace nuv::image {
namespace {

PlacedBlock Place(const BlockEntry& entry, uint8_t bank, uint32_t index, uint64_t start,
                  std::span<const uint8_t> image) {
  PlacedBlock block{entry, bank, index, start, {}};
  if (start < image.size())
    block.data =
        image.subspan(static_cast<size_t>(start),
                      static_cast<size_t>(std::min<uint64_t>(entry.size(), image.size() - start)));
  return block;
}

}  // namespace

ImageLayout LayoutOf(const FlashImage& flash) {
  ImageLayout layout;
  const std::span<const uint8_t> image = flash.bytes();
  if (flash.kind == ImageKind::Legacy) {
    uint32_t index = 0;
    for (const BlockEntry& entry : flash.legacy_entries)
      layout.blocks.push_back(Place(entry, 1, index++, entry.offset(), image));
    layout.headers.push_back({1, flash.dmh_offset,
                              uint64_t{flash.dmh_offset} + kLegacyEntriesPos +
                                  flash.legacy_entries.size() * kBlockEntrySize});
    return layout;
  }
  for (const BlockRecord& record : flash.table.records) {
    layout.blocks.push_back(Place(record.entry, record.bank, record.index_in_bank,
                                  uint64_t{record.header_offset} + record.entry.offset(), image));
    if (layout.headers.empty() || layout.headers.back().bank != record.bank)
      layout.headers.push_back({record.bank, record.header_offset, record.header_offset});
    layout.headers.back().end = uint64_t{record.header_offset} + kDmEntriesOffset +
                                (uint64_t{record.index_in_bank} + 1) * kBlockEntrySize;
  }
  return layout;
}

}  // namespace nuv::image
