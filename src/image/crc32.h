#pragma once

#include <cstdint>
#include <span>

namespace nuv::image {

// The block CRC: reflected CRC-32, polynomial 0xEDB88320, callers start with
// 0xFFFFFFFF and store the result without a final inversion (the catalogue's
// CRC-32/JAMCRC, the complement of the usual CRC-32). "123456789" gives
// 0x340BC6D9.
inline constexpr uint32_t kCrcStart = 0xFFFFFFFF;

// Runs the CRC over `bytes` from `crc`; no bytes leave `crc` unchanged.
// Images are hundreds of MiB, so this folds with carry-less multiplication
// (libdeflate) instead of a table walked byte by byte.
uint32_t UpdateCrc(uint32_t crc, std::span<const uint8_t> bytes);

}  // namespace nuv::image
