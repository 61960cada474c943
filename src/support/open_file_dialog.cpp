#include "support/open_file_dialog.h"

#include <algorithm>
#include <string>

#include "framework/open_file_name.h"
#include "framework/window.h"
#include "platform/input_file.h"
#include "support/window_messages.h"

namespace nuv {
namespace {

// Only a regular file counts: a folder or a device cannot be read as a
// file, and opening a pipe would wait for a writer.
bool CanOpenForReading(const std::string& path) {
  return platform::InputFile::Open(path).has_value();
}

}  // namespace

bool OpenFileDialog(fw::Window& owner, std::string_view filter, PathBuffer& path) {
  fw::OpenFileName ofn;
  ofn.owner = &owner;
  ofn.filter = filter;
  ofn.file = path;
  ofn.flags = fw::OFN_EXPLORER;
  ofn.default_extension = "hex";
  if (fw::GetOpenFileName(ofn)) {
    path = ofn.file;
    return true;
  }
  // The user did choose a file, so silence would look like a lost choice.
  if (ofn.needed > 0) {
    WindowMessages messages(owner);
    messages.Show(BoxCaption::Application, "The chosen path is too long: it is " +
                                               std::to_string(ofn.needed - 1) +
                                               " bytes long, and a path may be at most " +
                                               std::to_string(path.size() - 1) + " bytes long.");
  }
  return false;
}

std::string_view PathText(const PathBuffer& path) {
  const auto end = std::find(path.begin(), path.end(), '\0');
  return std::string_view(path.data(), static_cast<size_t>(end - path.begin()));
}

bool ChooseFileToRead(fw::Window& owner, std::string_view filter, std::string& target) {
  PathBuffer path{};
  if (!OpenFileDialog(owner, filter, path))
    return false;
  target = PathText(path);
  owner.UpdateData(false);
  if (!CanOpenForReading(target)) {
    WindowMessages messages(owner);
    messages.Show(BoxCaption::Application, "Failed to open selected file!");
  }
  return true;
}

}  // namespace nuv
