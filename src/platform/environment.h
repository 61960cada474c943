#pragma once

#include <optional>
#include <string>

namespace nuv::platform {

// Removes the variable `name` from the environment of this process and of
// the programs it starts from then on.
void RemoveFromEnvironment(const std::string& name);

// The program that opens a file in the application the desktop chose for
// it, where the tool may start one without being told which: "xdg-open"
// when there is a display ($DISPLAY or $WAYLAND_DISPLAY) to show it on.
// None on Windows: a display variable there is a leftover of the machine
// Wine runs on, and the user names the program (NUV_SPREADSHEET_APP).
std::optional<std::string> DesktopOpener();

}  // namespace nuv::platform
