#pragma once

#include <string>

namespace nuv::platform {

// Removes the variable `name` from the environment of this process and of
// the programs it starts from then on.
void RemoveFromEnvironment(const std::string& name);

}  // namespace nuv::platform
