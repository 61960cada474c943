#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "image/flash_image.h"

namespace nuv::diff {

// One block of an image as the comparison sees it, whichever kind of image
// it comes from.
struct PlacedBlock {
  uint8_t id = 0;
  std::string name;
  uint8_t bank = 0;               // 1.. in a new-format image; 0 in a legacy one
  uint64_t position = 0;          // image position of the data
  uint32_t size = 0;              // the entry's size
  uint32_t crc_field = 0;         // the entry's crc
  std::span<const uint8_t> data;  // the data, cut at the end of the image
};

// The blocks of an image as Pre-Parse left it, in table order: the block table of a new-format
// image, the legacy entry table of a legacy one.
std::vector<PlacedBlock> PlacedBlocks(const image::FlashImage& image);

}  // namespace nuv::diff
