#include "support/open_file_dialog.h"

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
  return platform::InputFile::Open(path).ok();
}

}  // namespace

std::optional<std::string> OpenFileDialog(fw::Window& owner, std::string_view filter) {
  fw::OpenFileName ofn;
  ofn.owner = &owner;
  ofn.filter = filter;
  ofn.flags = fw::OFN_EXPLORER;
  ofn.default_extension = "hex";
  if (fw::GetOpenFileName(ofn))
    return ofn.FileName();
  // The user did choose a file, so silence would look like a lost choice.
  if (ofn.needed > 0) {
    WindowMessages messages(owner);
    messages.Show(BoxCaption::Application,
                  "The chosen path is too long: it is " + std::to_string(ofn.needed - 1) +
                      " bytes long, and a path may be at most " +
                      std::to_string(ofn.file.size() - 1) + " bytes long.");
  }
  return std::nullopt;
}

void ChooseFileToRead(fw::Window& owner, std::string_view filter, std::string& target) {
  std::optional<std::string> path = OpenFileDialog(owner, filter);
  if (!path)
    return;
  target = std::move(*path);
  owner.UpdateData(false);
  if (!CanOpenForReading(target)) {
    WindowMessages messages(owner);
    messages.Show(BoxCaption::Application, "Failed to open selected file!");
  }
}

}  // namespace nuv
