#pragma once

#include <vector>

#include "diff/image_diff.h"
#include "image/image_layout.h"

namespace nuv::diff {

// Differing bytes closer together than this are reported as one range.
inline constexpr size_t kRangeBridge = 16;

// The bytes that differ between the two images at the same position,
// outside the data of every block of either image (a block's own bytes are
// compared with the block; where a block left, its old bytes are not news).
// Where one image is longer, its further bytes differ. Differences with
// fewer than kRangeBridge equal bytes between them make one range; a range
// lies in one area only: the key record, the configuration region or the
// block header of a legacy image, a DM header of a new-format one (of
// either image, the first of those named when areas overlap), or none.
std::vector<ByteRange> CompareBytesOutsideBlocks(const image::FlashImage& old_image,
                                                 const image::FlashImage& new_image,
                                                 const image::ImageLayout& old_layout,
                                                 const image::ImageLayout& new_layout);

}  // namespace nuv::diff
