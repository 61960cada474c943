#include "framework/picture.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <functional>
#include <string_view>

namespace nuv::fw {
namespace {

constexpr std::array<uint8_t, 8> kPngSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

void PutBigEndian(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(static_cast<uint8_t>(value >> shift));
}

// A chunk: its length, type and data, and the CRC of type and data.
void PutChunk(std::vector<uint8_t>& out, std::string_view type, const std::vector<uint8_t>& data) {
  PutBigEndian(out, static_cast<uint32_t>(data.size()));
  const size_t typed = out.size();
  out.insert(out.end(), type.begin(), type.end());
  out.insert(out.end(), data.begin(), data.end());
  const uLong crc = crc32(0L, out.data() + typed, static_cast<uInt>(out.size() - typed));
  PutBigEndian(out, static_cast<uint32_t>(crc));
}

}  // namespace

bool Picture::IsOneColour() const {
  return std::adjacent_find(pixels.begin(), pixels.end(), std::not_equal_to<>()) == pixels.end();
}

std::vector<uint8_t> EncodePng(const Picture& picture) {
  if (picture.empty() || picture.pixels.size() != static_cast<size_t>(picture.width) *
                                                      static_cast<size_t>(picture.height))
    return {};
  // Each row: filter type 0 (none), then its pixels' red, green, blue.
  const auto width = static_cast<size_t>(picture.width);
  std::vector<uint8_t> rows;
  rows.reserve((1 + 3 * width) * static_cast<size_t>(picture.height));
  for (size_t start = 0; start < picture.pixels.size(); start += width) {
    rows.push_back(0);
    for (size_t x = 0; x < width; ++x) {
      const uint32_t pixel = picture.pixels[start + x];
      rows.push_back(static_cast<uint8_t>(pixel >> 16));
      rows.push_back(static_cast<uint8_t>(pixel >> 8));
      rows.push_back(static_cast<uint8_t>(pixel));
    }
  }
  uLongf packed_size = compressBound(static_cast<uLong>(rows.size()));
  std::vector<uint8_t> packed(packed_size);
  if (compress2(packed.data(), &packed_size, rows.data(), static_cast<uLong>(rows.size()),
                Z_BEST_COMPRESSION) != Z_OK)
    return {};
  packed.resize(packed_size);

  std::vector<uint8_t> header;
  PutBigEndian(header, static_cast<uint32_t>(picture.width));
  PutBigEndian(header, static_cast<uint32_t>(picture.height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, filter 0, no interlace
  std::vector<uint8_t> png(kPngSignature.begin(), kPngSignature.end());
  PutChunk(png, "IHDR", header);
  PutChunk(png, "IDAT", packed);
  PutChunk(png, "IEND", {});
  return png;
}

}  // namespace nuv::fw
