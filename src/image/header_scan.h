#pragma once

#include <cstddef>

#include "image/flash_image.h"
#include "support/messages.h"

namespace nuv::image {

// Every header takes a bank number, and a record keeps it in one byte.
inline constexpr size_t kMaxBanks = 255;

// Whether ScanDmHeaders built a table, and why not.
enum class ScanResult {
  kScanned,         // it did
  kNoHeader,        // no DM header anywhere: a legacy image
  kTooManyBlocks,   // the headers hold more than kMaxBlocks entries: read as legacy
  kTooManyHeaders,  // more than kMaxBanks headers: refused, not read as legacy
  kDamaged,         // a header's entries or a block's data run past the image end
};

// Whether the scan refused the image outright (its message has been shown),
// rather than finding that it is no new-format image.
constexpr bool Refused(ScanResult result) {
  return result == ScanResult::kTooManyHeaders || result == ScanResult::kDamaged;
}

// Builds the block table of a new-format image from the loaded bytes: every
// DM header in file order is a bank (numbered from 1, also when it has no
// entries), its entries become records 0.. in order with their bank,
// index_in_bank and header_offset, and each record's data shares the image
// bytes at header_offset + offset. sdram_size is that of the last header.
// On success the table is copied into the snapshot: kScanned.
//
// No header or too many blocks in the headers: the image is then a legacy
// image and the table stays empty. More headers than
// bank numbers (every magic counts, also one inside a block's data) or a
// damaged header (entries past the image end, or a block whose data does
// not lie wholly in the image, counting u32 overflow) refuse the image: its
// message is shown here and the result says why, so the caller must not
// read it as legacy (Refused).
// A block of size 0 reads nothing and is accepted wherever it points.
[[nodiscard]] ScanResult ScanDmHeaders(FlashImage& image, Messages& messages);

}  // namespace nuv::image
