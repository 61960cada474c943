#pragma once

#include <span>
#include <string>

namespace nuv::platform {

// Starts a program that runs on its own, such as the user's spreadsheet
// program opening a file: argv[0] is looked up on PATH, no shell is
// involved, nothing is waited for, and the child is collected in the
// background when it ends. Returns an empty text when the program started,
// else a sentence saying why it did not.
std::string SpawnDetached(std::span<const std::string> argv);

}  // namespace nuv::platform
