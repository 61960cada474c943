#include "image/header_scan.h"

#include <string>

#include "common/bytes.h"
#include "image/dm_header.h"

namespace nuv::image {

ScanResult ScanDmHeaders(FlashImage& image, Messages& messages) {
  image.table.clear();
  image.snapshot.clear();
  const std::span<const uint8_t> bytes = image.bytes();
  if (bytes.size() > kMaxImageLength) {
    // Header offsets would not fit their u32.
    messages.Show(BoxCaption::Error, kTooLargeText);
    return ScanResult::kDamaged;
  }
  // One more than the limit is enough to know the limit is passed.
  const std::vector<size_t> headers = FindDmHeaders(bytes, kMaxBanks + 1);
  if (headers.empty())
    return ScanResult::kNoHeader;

  BlockTable table;
  table.records.reserve(kMaxBlocks);
  size_t bank = 0;
  for (const size_t pos : headers) {
    ++bank;
    if (bank > kMaxBanks) {
      messages.Show(BoxCaption::Error,
                    "The image has more DM headers than the tool can hold (at most 255)!");
      return ScanResult::kTooManyHeaders;
    }
    image.sdram_size = *common::ReadU32(bytes, pos + kDmSdramSizeOffset);
    const size_t count = bytes[pos + kDmBlockCountOffset];
    if (table.records.size() + count > kMaxBlocks)
      return ScanResult::kTooManyBlocks;
    if (!common::InRange(bytes.size(), pos + kDmEntriesOffset, count * kBlockEntrySize)) {
      messages.Show(BoxCaption::Error, "Wrong binary file, dmh entries beyond the image end!");
      return ScanResult::kDamaged;
    }
    for (size_t k = 0; k < count; ++k) {
      BlockRecord record;
      record.entry = BlockEntry(
          bytes.subspan(pos + kDmEntriesOffset + k * kBlockEntrySize).first<kBlockEntrySize>());
      record.header_offset = static_cast<uint32_t>(pos);
      record.index_in_bank = static_cast<uint32_t>(k);
      record.bank = static_cast<uint8_t>(bank);
      const uint64_t start = uint64_t{pos} + record.entry.offset();
      const uint32_t size = record.entry.size();
      if (size != 0) {
        if (!common::InRange(bytes.size(), start, size)) {
          messages.Show(BoxCaption::Error,
                        DataBeyondImageEndText("Wrong binary file", record.entry.block_id()));
          return ScanResult::kDamaged;
        }
        record.data = BlockData::Share(image.image, static_cast<size_t>(start), size);
      }
      table.records.push_back(std::move(record));
    }
  }
  image.table = std::move(table);
  image.snapshot = image.table;
  return ScanResult::kScanned;
}

}  // namespace nuv::image
