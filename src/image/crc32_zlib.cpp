// The block CRC where libdeflate is not at hand (the Windows build): zlib's
// crc32, the same CRC-32 with the same inverted register.
#include <zlib.h>

#include <algorithm>

#include "image/crc32.h"

namespace nuv::image {

uint32_t UpdateCrc(uint32_t crc, std::span<const uint8_t> bytes) {
  uLong running = ~crc;
  while (!bytes.empty()) {
    const size_t chunk = std::min<size_t>(bytes.size(), 1u << 30);
    running = crc32(running, bytes.data(), static_cast<uInt>(chunk));
    bytes = bytes.subspan(chunk);
  }
  return ~static_cast<uint32_t>(running);
}

}  // namespace nuv::image
