#include "platform/desktop.h"

#include <cstdlib>
#include <string>

#include "platform/spawn.h"

namespace nuv::platform {

Result<DesktopOpen> OpenWithDesktop(const std::filesystem::path& file) {
  if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr)
    return DesktopOpen::kNoDesktop;
  const std::string command[] = {"xdg-open", file.string()};
  if (Result<void> started = SpawnDetached(command); !started.ok())
    return started.failure();
  return DesktopOpen::kStarted;
}

}  // namespace nuv::platform
