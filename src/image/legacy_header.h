#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "image/block_entry.h"
#include "support/messages.h"

namespace nuv::image {

// Words at fixed places of a legacy image.
inline constexpr size_t kLegacyDmhOffsetPos = 8;
inline constexpr size_t kLegacyConfigOffsetPos = 28;
inline constexpr size_t kLegacyConfigLengthPos = 32;

// The legacy block header at dmh_offset: sizes kept as single bytes
// (size = byte[high] * 65536 + byte[low]), the entry count, then the entries
// with offsets counted from the start of the image.
inline constexpr size_t kLegacySdramLowPos = 0;
inline constexpr size_t kLegacySdramHighPos = 2;
inline constexpr size_t kLegacyFlashLowPos = 4;
inline constexpr size_t kLegacyFlashHighPos = 6;
inline constexpr size_t kLegacyCountPos = 8;
inline constexpr size_t kLegacyEntriesPos = 12;
inline constexpr size_t kLegacyMaxEntries = 64;

struct LegacyHeader {
  uint32_t dmh_offset = 0;
  uint32_t config_length = 0;
  uint32_t sdram_size = 0;
  uint32_t flash_size = 0;
  std::vector<BlockEntry> entries;
};

// Reads and checks the legacy header of `image`, in this order:
//  - dmh_offset or config_length beyond the image: "Wrong bin file!"
//  - the 12 fixed header bytes not inside the image: refused
//  - flash size not the image length: "Wrong bin file!"
//  - more than 64 entries: "Too many blocks!"
//  - entries running past the image end, or a block of non-zero size whose
//    data does not lie wholly inside the image: refused
// The message is shown here; nothing is returned then.
std::optional<LegacyHeader> ReadLegacyHeader(std::span<const uint8_t> image, Messages& messages);

// The configuration region that Export writes: config_length bytes from the
// config_offset word at image offset 28, read now; nothing when the region
// does not lie wholly inside the image.
std::optional<std::span<const uint8_t>> LegacyConfigRegion(std::span<const uint8_t> image,
                                                           uint32_t config_length);

}  // namespace nuv::image
