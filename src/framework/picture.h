#pragma once

#include <cstdint>
#include <vector>

namespace nuv::fw {

// A picture of a window as a backend captured it: rows from the top, each
// pixel 0x00RRGGBB.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;

  bool empty() const { return width <= 0 || height <= 0; }
  // Whether every pixel has the same colour: what a capture that drew
  // nothing of the window (a blank surface, a background only) gives.
  bool IsOneColour() const;
};

// The picture as a PNG file's bytes: 8-bit RGB, no interlace, compressed
// with zlib. Empty when the picture is empty or its pixels do not fill it.
std::vector<uint8_t> EncodePng(const Picture& picture);

}  // namespace nuv::fw
