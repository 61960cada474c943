#include "platform/environment.h"

#include <stdlib.h>

namespace nuv::platform {

void RemoveFromEnvironment(const std::string& name) {
  unsetenv(name.c_str());
}

}  // namespace nuv::platform
