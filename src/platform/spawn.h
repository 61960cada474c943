#pragma once

#include <span>
#include <string>

namespace nuv::platform {

// Both start argv[0], looked up on PATH, with the arguments argv, the
// caller's environment, current directory and standard handles; no shell is
// involved.

// Starts a program that runs on its own, such as the user's spreadsheet
// program opening a file: nothing is waited for, and the child is collected
// in the background when it ends. Returns an empty text when the program
// started, else a sentence saying why it did not.
std::string SpawnDetached(std::span<const std::string> argv);

// Runs a program to its end. Returns an empty text when it ended with exit
// status 0, else what went wrong: "cannot start PROGRAM: why", "exit
// status N" or "ended by signal N".
std::string RunToEnd(std::span<const std::string> argv);

}  // namespace nuv::platform
