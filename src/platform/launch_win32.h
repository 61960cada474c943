#pragma once

#include <windows.h>

#include <filesystem>
#include <span>
#include <string>

namespace nuv::platform {

// The command line that hands `argv` to `program` as Windows programs split
// it (argv[0] stands for the program).
std::wstring WindowsCommandLine(const std::filesystem::path& program,
                                std::span<const std::string> argv);

// Starts `program` with that command line, the caller's environment and
// current folder, and no window. `startup` names the standard handles to
// inherit, when it says so; `flags` are added to the creation flags. The
// sentence in `error` says why it did not start.
bool Launch(const std::filesystem::path& program, std::span<const std::string> argv,
            STARTUPINFOW& startup, DWORD flags, PROCESS_INFORMATION& started, std::string& error);

}  // namespace nuv::platform
