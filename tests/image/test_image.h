#pragma once

#include <algorithm>
#include <vector>

#include "image/flash_image.h"
#include "image/image_buffer.h"

namespace nuv::image::testing {

// Puts `bytes` into `flash` as if a file with them had been read.
inline void LoadBytes(FlashImage& flash, const std::vector<uint8_t>& bytes) {
  flash.Release();
  flash.image = ImageBuffer::Allocate(bytes.size());
  std::copy(bytes.begin(), bytes.end(), flash.image->bytes().begin());
}

}  // namespace nuv::image::testing
