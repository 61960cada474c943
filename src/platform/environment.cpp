#include "platform/environment.h"

#include <stdlib.h>

namespace nuv::platform {

void RemoveFromEnvironment(const std::string& name) {
  unsetenv(name.c_str());
}

std::optional<std::string> DesktopOpener() {
  if (getenv("DISPLAY") == nullptr && getenv("WAYLAND_DISPLAY") == nullptr)
    return std::nullopt;
  return "xdg-open";
}

}  // namespace nuv::platform
