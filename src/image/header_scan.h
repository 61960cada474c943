#pragma once

#include <cstddef>

#include "image/flash_image.h"
#include "support/messages.h"

namespace nuv::image {

// Every header takes a bank number, and a record keeps it in one byte.
inline constexpr size_t kMaxBanks = 255;

// Why ScanDmHeaders did not build a table.
enum class ScanFailure {
  None,            // it did
  NoHeader,        // no DM header anywhere: a legacy image
  TooManyBlocks,   // the headers hold more than kMaxBlocks entries: read as legacy
  TooManyHeaders,  // more than kMaxBanks headers: refused, not read as legacy
  Damaged,         // a header's entries or a block's data run past the image end
};

// Whether the scan refused the image outright (its message has been shown),
// rather than finding that it is no new-format image.
constexpr bool Refused(ScanFailure why) {
  return why == ScanFailure::TooManyHeaders || why == ScanFailure::Damaged;
}

// Builds the block table of a new-format image from the loaded bytes: every
// DM header in file order is a bank (numbered from 1, also when it has no
// entries), its entries become records 0.. in order with their bank,
// index_in_bank and header_offset, and each record's data shares the image
// bytes at header_offset + offset. sdram_size is that of the last header.
// On success the table is copied into the snapshot and true is returned.
//
// False when there is no header or the headers hold too many blocks: the
// image is then a legacy image and the table stays empty. More headers than
// bank numbers (every magic counts, also one inside a block's data) or a
// damaged header (entries past the image end, or a block whose data does
// not lie wholly in the image, counting u32 overflow) refuse the image: its
// message is shown here and `failure` says why, so the caller must not read
// it as legacy (Refused).
// A block of size 0 reads nothing and is accepted wherever it points.
bool ScanDmHeaders(FlashImage& image, Messages& messages, ScanFailure* failure = nullptr);

}  // namespace nuv::image
