#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace nuv::fw::headless {

// The headless screen's font: every character 6 pixels wide, every line 13
// pixels high, whatever the face and size.
inline constexpr int kCharWidth = 6;
inline constexpr int kLineHeight = 13;

struct TextLayout {
  std::vector<std::string> lines;
  int width = 0;   // of the widest line
  int height = 0;  // lines x kLineHeight
};

// Lays text out as DrawText does with the given DT_* flags: lines break at
// line breaks (unless DT_SINGLELINE); with DT_WORDBREAK a line also breaks
// at the blanks before a word that would pass `max_width`, a word longer
// than the width standing alone on its line; the blanks where a line broke
// do not count in its width. DT_EXPANDTABS turns tabs into blanks up to the
// next multiple of eight characters. Characters are counted as UTF-8 code
// points.
TextLayout LayoutText(std::string_view text, int max_width, uint32_t flags);

}  // namespace nuv::fw::headless
