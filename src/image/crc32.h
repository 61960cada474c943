#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace nuv::image {

// The block CRC: reflected CRC-32, polynomial 0xEDB88320, callers start with
// 0xFFFFFFFF and store the result without a final inversion (the catalogue's
// CRC-32/JAMCRC). "123456789" gives 0x340BC6D9.
using CrcTable = std::array<uint32_t, 256>;

inline constexpr uint32_t kCrcStart = 0xFFFFFFFF;

void BuildCrcTable(CrcTable& table);

// Runs the CRC over `bytes`; no bytes leave `crc` unchanged.
uint32_t UpdateCrc(const CrcTable& table, uint32_t crc, std::span<const uint8_t> bytes);

}  // namespace nuv::image
