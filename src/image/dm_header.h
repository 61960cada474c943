#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace nuv::image {

// The fixed part of a DM header, the start of each bank of a new-format image:
//
//  0 magic "*^_^*DM(^o^)" | 16 sdram_size u32 | 24 block_count u8
//  26 marker '0' | 28 block entries, 48 bytes each        (little-endian)
//
// Bytes 12..15, 20..23, 25 and 27 mean nothing to the tool and are kept as
// found whenever a header is rewritten.
inline constexpr std::array<uint8_t, 12> kDmMagic = {'*', '^', '_', '^', '*', 'D',
                                                     'M', '(', '^', 'o', '^', ')'};
inline constexpr size_t kDmSdramSizeOffset = 16;
inline constexpr size_t kDmBlockCountOffset = 24;
inline constexpr size_t kDmMarkerOffset = 26;
inline constexpr uint8_t kDmMarker = '0';
inline constexpr size_t kDmEntriesOffset = 28;
// A magic too close to the end to hold these bytes is no header.
inline constexpr size_t kDmHeaderFixedSize = kDmEntriesOffset;

// True when a DM header starts at `pos`: the magic there, the marker at
// pos + 26, and the 28 fixed bytes inside `image`.
bool IsDmHeaderAt(std::span<const uint8_t> image, size_t pos);

// The positions of every DM header in `image`, in increasing order, at most
// `max_count` of them (the first ones). Every byte position counts, also one
// inside another block's data or overlapping another header. Runs at memory
// speed: 32 positions at a time (16 without AVX2) are checked for three
// bytes of the magic, and only where one passes are all 13 bytes compared,
// again for all those positions at once, so data full of '*' bytes or of
// magics has no slow path.
std::vector<size_t> FindDmHeaders(std::span<const uint8_t> image, size_t max_count = SIZE_MAX);

}  // namespace nuv::image
