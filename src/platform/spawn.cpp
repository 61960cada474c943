#include "platform/spawn.h"

#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>
#include <thread>
#include <vector>

extern char** environ;

namespace nuv::platform {

std::string SpawnDetached(std::span<const std::string> argv) {
  if (argv.empty() || argv[0].empty())
    return "no program was given";
  std::vector<char*> args;
  args.reserve(argv.size() + 1);
  for (const std::string& arg : argv)
    args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  pid_t pid = 0;
  int error = ::posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ);
  if (error != 0)
    return "cannot start \"" + argv[0] + "\": " + std::strerror(error);
  // Nobody waits for the program; a detached thread collects it so that it
  // does not linger as a zombie while the tool runs.
  std::thread([pid] {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return {};
}

}  // namespace nuv::platform
