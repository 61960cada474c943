#pragma once

#include <windows.h>

#include <filesystem>
#include <span>
#include <string>

#include "platform/result.h"

namespace nuv::platform {

// The command line that hands `argv` to `program` as Windows programs split
// it (argv[0] stands for the program).
std::wstring WindowsCommandLine(const std::filesystem::path& program,
                                std::span<const std::string> argv);

// Starts `program` with that command line, the caller's environment and
// current folder, and no window. `startup` names the standard handles to
// inherit, when it says so; `flags` are added to the creation flags. Why
// not, when it did not start.
Result<void> Launch(const std::filesystem::path& program, std::span<const std::string> argv,
                    STARTUPINFOW& startup, DWORD flags, PROCESS_INFORMATION& started);

}  // namespace nuv::platform
