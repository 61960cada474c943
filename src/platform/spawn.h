#pragma once

#include <span>
#include <string>

#include "platform/result.h"

namespace nuv::platform {

// Both start argv[0], looked up as FindProgram does, with the arguments
// argv, the caller's environment, current directory and standard handles;
// no shell is involved.

// Starts a program that runs on its own, such as the user's spreadsheet
// program opening a file: nothing is waited for, and the child is collected
// in the background when it ends. Why not, when the program did not start.
Result<void> SpawnDetached(std::span<const std::string> argv);

// Runs a program to its end. Succeeds when it ended with exit status 0,
// else says what went wrong: why it did not start ("cannot start "PROGRAM":
// why"), "exit status N" or "ended by signal N".
Result<void> RunToEnd(std::span<const std::string> argv);

}  // namespace nuv::platform
