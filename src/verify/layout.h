#pragma once

#include <cstdint>
#include <vector>

#include "image/block_entry.h"
#include "image/flash_image.h"
#include "image/pre_parse.h"

namespace nuv::verify {

// Where a pre-parsed image keeps its blocks and headers, the same for both
// kinds: a legacy image is one bank whose header is the block header at
// dmh_offset and whose offsets count from the image start.
struct PlacedBlock {
  image::BlockEntry entry;
  uint8_t bank = 1;    // from 1
  uint32_t index = 0;  // of its entry within the bank's header
  uint64_t start = 0;  // image position of its data
  uint64_t end() const { return start + entry.size(); }
};

struct BankHeader {
  uint8_t bank = 1;
  uint64_t start = 0;  // image position of the header
  uint64_t end = 0;    // after its last entry
};

struct ImageLayout {
  std::vector<PlacedBlock> blocks;  // in table order
  std::vector<BankHeader> headers;  // banks with entries, in file order
};

ImageLayout LayoutOf(const image::FlashImage& flash, image::ImageKind kind);

}  // namespace nuv::verify
