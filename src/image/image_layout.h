#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "image/block_entry.h"
#include "image/flash_image.h"

namespace nuv::image {

// Where a pre-parsed image keeps its blocks and headers, the same for both
// kinds: a legacy image is one bank whose header is the block header at
// dmh_offset and whose offsets count from the image start.

// One block where it lies in the image.
struct PlacedBlock {
  BlockEntry entry;
  uint8_t bank = 1;    // from 1
  uint32_t index = 0;  // of its entry within the bank's header
  uint64_t start = 0;  // image position of its data
  // Its data in the image, cut at the image end: shorter than its size when
  // the entry reaches past the end, empty when it starts beyond it.
  std::span<const uint8_t> data;

  uint64_t end() const { return start + entry.size(); }
};

struct BankHeader {
  uint8_t bank = 1;
  uint64_t start = 0;  // image position of the header
  uint64_t end = 0;    // after its last entry
};

struct ImageLayout {
  std::vector<PlacedBlock> blocks;  // in table order
  std::vector<BankHeader> headers;  // banks with entries, in file order; a legacy image's always
};

// The layout of the image as Pre-Parse left it: its block table (new
// format) or legacy entry table; nothing before a Pre-Parse. The blocks'
// data point into the image's bytes.
ImageLayout LayoutOf(const FlashImage& flash);

}  // namespace nuv::image
