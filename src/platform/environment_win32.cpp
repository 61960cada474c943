#include <windows.h>

#include <cstdlib>

#include "platform/environment.h"
#include "platform/wide_text.h"

namespace nuv::platform {

// Both copies: the process environment that children inherit, and the C
// runtime's, which getenv reads.
void RemoveFromEnvironment(const std::string& name) {
  const std::wstring wide = ToWide(name);
  SetEnvironmentVariableW(wide.c_str(), nullptr);
  _wputenv((wide + L"=").c_str());
}

std::optional<std::string> DesktopOpener() {
  return std::nullopt;
}

}  // namespace nuv::platform
