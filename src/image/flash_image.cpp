#include "image/flash_image.h"

namespace nuv::image {

std::span<uint8_t> FlashImage::mutable_bytes() {
  if (!image)
    return {};
  for (BlockTable* t : {&table, &snapshot})
    for (BlockRecord& record : t->records)
      if (record.data.shares_image())
        record.data.mutable_bytes();
  return image->bytes();
}

void FlashImage::Release() {
  legacy_entries.clear();
  table.clear();
  snapshot.clear();
  image_length = 0;
  image.reset();
}

}  // namespace nuv::image
