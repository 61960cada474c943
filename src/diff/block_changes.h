#pragma once

#include <vector>

#include "diff/image_diff.h"
#include "image/image_layout.h"

namespace nuv::diff {

// The changes between the blocks of two images: blocks matched by id and
// name (among several of one id and name: first by bank and order within
// the bank, then what is left in order); the old image's blocks in table
// order, each removed or with its moves, resizes and content changes (or,
// when its data stayed the same, a change of its crc field), then the
// blocks only the new image has, added.
std::vector<BlockChange> CompareBlocks(const std::vector<image::PlacedBlock>& old_blocks,
                                       const std::vector<image::PlacedBlock>& new_blocks);

}  // namespace nuv::diff
