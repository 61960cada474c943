#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "framework/constants.h"

namespace nuv::fw {

class Window;

// The system's open-file dialog request (as Win32's OPENFILENAME, with what
// the tool sets): owner, a filter of NUL-terminated (text, pattern) pairs
// ended by an empty text, the caller's zero-filled path buffer of MAX_PATH
// characters, options and a default extension.
struct OpenFileName {
  Window* owner = nullptr;
  std::string_view filter;  // e.g. std::string_view("bin\0*.bin\0\0", 11)
  std::array<char, MAX_PATH> file{};
  uint32_t flags = 0;
  std::string default_extension;  // without the dot
  // After GetOpenFileName returned false: the buffer size (characters and
  // the NUL) that the chosen path needed, as Windows reports a buffer too
  // small (FNERR_BUFFERTOOSMALL); 0 when the user chose nothing.
  std::size_t needed = 0;

  // The text in `file` up to its first NUL.
  std::string FileName() const;
};

// Shows the system's open-file dialog. True when the user chose a file: its
// path, with the default extension applied, is then in `ofn.file`,
// NUL-terminated. A path that does not fit the buffer is no choice either,
// as on Windows, and `needed` says how much room it would take.
bool GetOpenFileName(OpenFileName& ofn);

}  // namespace nuv::fw
