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

std::optional<std::string> EnvironmentValue(const std::string& name) {
  SetLastError(ERROR_SUCCESS);
  const std::wstring value = EnvironmentVariable(ToWide(name).c_str());
  if (value.empty() && GetLastError() == ERROR_ENVVAR_NOT_FOUND)
    return std::nullopt;
  return FromWide(value);
}

}  // namespace nuv::platform
