#include "image/bytes.h"

namespace nuv::image {

std::optional<uint32_t> ReadU32(std::span<const uint8_t> bytes, size_t pos) {
  if (!InRange(bytes.size(), pos, 4))
    return std::nullopt;
  return static_cast<uint32_t>(bytes[pos]) | static_cast<uint32_t>(bytes[pos + 1]) << 8 |
         static_cast<uint32_t>(bytes[pos + 2]) << 16 | static_cast<uint32_t>(bytes[pos + 3]) << 24;
}

std::optional<uint16_t> ReadU16(std::span<const uint8_t> bytes, size_t pos) {
  if (!InRange(bytes.size(), pos, 2))
    return std::nullopt;
  return static_cast<uint16_t>(bytes[pos] | bytes[pos + 1] << 8);
}

bool WriteU32(std::span<uint8_t> bytes, size_t pos, uint32_t value) {
  if (!InRange(bytes.size(), pos, 4))
    return false;
  for (size_t i = 0; i < 4; ++i)
    bytes[pos + i] = static_cast<uint8_t>(value >> (8 * i));
  return true;
}

bool WriteU16(std::span<uint8_t> bytes, size_t pos, uint16_t value) {
  if (!InRange(bytes.size(), pos, 2))
    return false;
  bytes[pos] = static_cast<uint8_t>(value);
  bytes[pos + 1] = static_cast<uint8_t>(value >> 8);
  return true;
}

std::string FixedText(std::span<const uint8_t> bytes) {
  std::string text;
  for (uint8_t b : bytes) {
    if (b == 0)
      break;
    text.push_back(static_cast<char>(b));
  }
  return text;
}

}  // namespace nuv::image
