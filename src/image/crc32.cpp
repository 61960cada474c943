#include "image/crc32.h"

#include <libdeflate.h>

namespace nuv::image {

uint32_t UpdateCrc(uint32_t crc, std::span<const uint8_t> bytes) {
  // libdeflate answers 0 for a null buffer whatever the running value.
  if (bytes.empty())
    return crc;
  // libdeflate keeps the usual CRC-32, whose register is inverted on the way
  // in and out; the block CRC is that register itself.
  return ~libdeflate_crc32(~crc, bytes.data(), bytes.size());
}

}  // namespace nuv::image
