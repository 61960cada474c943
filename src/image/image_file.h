#pragma once

#include <string>

#include "image/flash_image.h"
#include "support/messages.h"

namespace nuv::image {

// How an image file comes into memory.
enum class ImageLoading {
  // Read into memory of its own: the loaded image stays as it was whatever
  // happens to the file afterwards. For images that are kept, edited and
  // written (the windows' flows).
  kRead,
  // Mapped from the system's file cache: nothing is zeroed or copied, which
  // makes a large image several times quicker to load, but the bytes follow
  // the file. For a command that looks at an image once and ends (comparing,
  // verifying), as `cmp` reads a file it is handed. A file that cannot be
  // mapped is read.
  kMap,
};

// Reads the file at `path` whole into a fresh ImageBuffer of `image`, with
// one read into the buffer and no copy in between, or maps it (`loading`).
// What was loaded before (buffer, tables, entries) is released first, so two
// images are never held at once. kLoaded, or kNotLoaded after showing:
//  - "Failed to open the flash file!" when it cannot be opened, or is not a
//    regular file (a folder, a device, a pipe);
//  - "The flash file is too large!" beyond 4 GiB (positions are u32);
//  - "no memery!" when the buffer cannot be had (no buffer is loaded then);
//  - "Failed to read the flash file!" on a read error (the buffer stays).
// A file that turns out shorter than it said keeps the bytes that were read.
enum class LoadResult { kLoaded, kNotLoaded };
[[nodiscard]] LoadResult LoadImageFile(FlashImage& image, const std::string& path,
                                       Messages& messages,
                                       ImageLoading loading = ImageLoading::kRead);

}  // namespace nuv::image
