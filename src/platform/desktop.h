#pragma once

#include <filesystem>

#include "platform/result.h"

namespace nuv::platform {

enum class DesktopOpen {
  kStarted,    // the program is starting; nothing waits for it
  kNoDesktop,  // no display to show a file on, so nothing was started
};

// Opens `file` in the program the desktop associates with its kind, as a
// double click on it would: through xdg-open where there is a display
// ($DISPLAY or $WAYLAND_DISPLAY), through the shell's "open" verb on
// Windows. Why not, when the opener could not be started or the system
// knows no program for such a file.
Result<DesktopOpen> OpenWithDesktop(const std::filesystem::path& file);

}  // namespace nuv::platform
