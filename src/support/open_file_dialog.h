#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace nuv::fw {
class Window;
}

namespace nuv {

// Shows the system's open-file dialog, explorer style (OFN_EXPLORER and no
// other option), owned by `owner`, with `filter` (NUL-terminated text and
// pattern pairs ended by an empty text; the first pair selected), no title,
// no initial folder, a path buffer of MAX_PATH characters and the default
// extension "hex", which a name typed without extension gets. The full path
// of the file the user chose, or nothing. A path too long for the buffer is
// no choice: the owner shows a box in the application's style that says so
// and how long a path may be.
std::optional<std::string> OpenFileDialog(fw::Window& owner, std::string_view filter);

// A filter written as one string literal of NUL-terminated text and
// pattern pairs, whose own terminator is the empty text that ends them.
template <size_t N>
constexpr std::string_view FilterText(const char (&filter)[N]) {
  return std::string_view(filter, N);
}

// The Browse of a file the tool will read: OpenFileDialog owned by `owner`;
// the chosen path goes to `target` and into the owner's controls
// (UpdateData(false)), then a file that cannot be opened for reading is
// reported in the application's box ("Failed to open selected file!"). The
// path stays set either way. When the user chooses nothing, nothing changes.
void ChooseFileToRead(fw::Window& owner, std::string_view filter, std::string& target);

}  // namespace nuv
