#pragma once

#include <span>
#include <string>
#include <vector>

namespace nuv::platform {

// The argument vector a program is started with, as the system's start
// calls take it: pointers to the texts of `argv`, ended by a null pointer.
// Valid while `argv` lives. For the implementations in platform/ only.
inline std::vector<char*> ExecArguments(std::span<const std::string> argv) {
  std::vector<char*> args;
  args.reserve(argv.size() + 1);
  for (const std::string& arg : argv)
    args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  return args;
}

}  // namespace nuv::platform
