#include "verify/layout.h"

#include "image/dm_header.h"
#include "image/legacy_header.h"

namespace nuv::verify {

ImageLayout LayoutOf(const image::FlashImage& flash, image::ImageKind kind) {
  ImageLayout layout;
  if (kind == image::ImageKind::Legacy) {
    uint32_t index = 0;
    for (const image::BlockEntry& entry : flash.legacy_entries)
      layout.blocks.push_back({entry, 1, index++, entry.offset()});
    layout.headers.push_back({1, flash.dmh_offset,
                              uint64_t{flash.dmh_offset} + image::kLegacyEntriesPos +
                                  flash.legacy_entries.size() * image::kBlockEntrySize});
    return layout;
  }
  for (const image::BlockRecord& record : flash.table.records) {
    layout.blocks.push_back({record.entry, record.bank, record.index_in_bank,
                             uint64_t{record.header_offset} + record.entry.offset()});
    if (layout.headers.empty() || layout.headers.back().bank != record.bank)
      layout.headers.push_back({record.bank, record.header_offset, record.header_offset});
    layout.headers.back().end = uint64_t{record.header_offset} + image::kDmEntriesOffset +
                                (uint64_t{record.index_in_bank} + 1) * image::kBlockEntrySize;
  }
  return layout;
}

}  // namespace nuv::verify
