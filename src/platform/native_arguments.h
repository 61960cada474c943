#pragma once
// The part of ToNativeCommand that each system does its own way
// (native_command_posix.cpp, native_command_win32.cpp). For platform/ only.
#include <string>
#include <vector>

#include "platform/result.h"

namespace nuv::platform {

// The arguments of one of the tool's command lines, as Windows splits it
// (args[0], the program, is not empty), as this system starts them; why
// not when a name in them cannot be mapped.
Result<std::vector<std::string>> NativeArguments(std::vector<std::string> args);

}  // namespace nuv::platform
