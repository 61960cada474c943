#pragma once

#include <array>
#include <string>
#include <string_view>

#include "framework/constants.h"

namespace nuv::fw {
class Window;
}

namespace nuv::plugin {

// The caller's path buffer: MAX_PATH characters, zero-filled before the call.
using PathBuffer = std::array<char, fw::MAX_PATH>;

// Shows the system's open-file dialog, explorer style (OFN_EXPLORER and no
// other option), owned by `owner`, with `filter` (NUL-terminated text and
// pattern pairs ended by an empty text; the first pair selected), no title,
// no initial folder and the default extension "hex", which a name typed
// without extension gets. True when the user chose a file: its full path is
// then in `path`, NUL-terminated.
bool OpenFileDialog(fw::Window* owner, std::string_view filter, PathBuffer& path);

// The text of a path buffer up to its first NUL.
std::string_view PathText(const PathBuffer& path);

// Whether a chosen file can be opened for binary reading, as the windows
// test it right after a choice. Only a regular file counts: a folder or a
// device cannot be read as a file, and opening a pipe would wait for a
// writer.
bool CanOpenForReading(const std::string& path);

}  // namespace nuv::plugin
