#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "framework/file_names.h"

namespace nuv::fw {

class Window;

// The framework's file dialog (as MFC's CFileDialog): open or save mode, a
// default extension (added to a name typed without one), an initial file
// name, OFN_* options and an MFC filter "text|pattern|...||".
//
// Overwrite prompt: with OFN_OVERWRITEPROMPT a save dialog asks before an
// existing file is chosen; that question belongs to the backend's dialog (a
// real one asks the user; the headless one takes the scripted answer as the
// user's confirmation), so a path that comes back is always confirmed.
class FileDialog {
 public:
  FileDialog(bool open, std::string_view default_extension, std::string_view file_name,
             uint32_t flags, std::string_view filter, Window* parent);

  // IDOK when the user chose a file, IDCANCEL otherwise.
  int DoModal();
  // The chosen path, with the default extension applied.
  const std::string& GetPathName() const { return path_; }

 private:
  bool open_;
  std::string default_extension_;
  std::string file_name_;
  uint32_t flags_;
  FileFilter filter_;
  Window* parent_;
  std::string path_;
};

}  // namespace nuv::fw
