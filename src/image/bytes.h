#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace nuv::image {

// Little-endian access to image bytes. Every multi-byte integer of a flash
// image is little-endian. The Read functions return nothing when the value
// does not lie wholly inside `bytes`; the Write functions then write nothing
// and return false.
std::optional<uint32_t> ReadU32(std::span<const uint8_t> bytes, size_t pos);
std::optional<uint16_t> ReadU16(std::span<const uint8_t> bytes, size_t pos);
bool WriteU32(std::span<uint8_t> bytes, size_t pos, uint32_t value);
bool WriteU16(std::span<uint8_t> bytes, size_t pos, uint16_t value);

// True when [pos, pos + length) lies inside a buffer of `size` bytes,
// without overflowing.
constexpr bool InRange(size_t size, uint64_t pos, uint64_t length) {
  return pos <= size && length <= size - pos;
}

// A fixed-width text field: its bytes up to the first NUL, at most
// `bytes.size()` characters.
std::string FixedText(std::span<const uint8_t> bytes);

}  // namespace nuv::image
