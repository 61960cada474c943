#pragma once

#include <optional>
#include <string>

namespace nuv::platform {

// Removes the variable `name` from the environment of this process and of
// the programs it starts from then on.
void RemoveFromEnvironment(const std::string& name);

// The value of the environment variable `name`, which may be empty; none
// when it is not set. On Windows the process environment is read, which can
// hold an empty value where the C runtime's copy cannot.
std::optional<std::string> EnvironmentValue(const std::string& name);

}  // namespace nuv::platform
