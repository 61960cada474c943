#include "platform/environment.h"

#include <stdlib.h>

namespace nuv::platform {

void RemoveFromEnvironment(const std::string& name) {
  unsetenv(name.c_str());
}

std::optional<std::string> EnvironmentValue(const std::string& name) {
  if (const char* value = getenv(name.c_str()))
    return value;
  return std::nullopt;
}

}  // namespace nuv::platform
