#include "platform/spawn.h"

#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>
#include <thread>
#include <vector>

#include "platform/exec_arguments.h"

extern char** environ;

namespace nuv::platform {
namespace {

// The child's id, or the sentence that says why there is none.
pid_t Start(std::span<const std::string> argv, std::string& error) {
  if (argv.empty() || argv[0].empty()) {
    error = "no program was given";
    return -1;
  }
  std::vector<char*> args = ExecArguments(argv);
  pid_t pid = -1;
  if (const int failed = posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ)) {
    error = "cannot start \"" + argv[0] + "\": " + std::strerror(failed);
    return -1;
  }
  return pid;
}

}  // namespace

std::string SpawnDetached(std::span<const std::string> argv) {
  std::string error;
  const pid_t pid = Start(argv, error);
  if (pid < 0)
    return error;
  // Nobody waits for the program; a detached thread collects it so that it
  // does not linger as a zombie while the tool runs.
  std::thread([pid] {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return {};
}

std::string RunToEnd(std::span<const std::string> argv) {
  std::string error;
  const pid_t pid = Start(argv, error);
  if (pid < 0)
    return error;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR)
      return "cannot wait for \"" + argv[0] + "\": " + std::strerror(errno);
  }
  if (WIFEXITED(status) && WEXITSTATUS(status) != 0)
    return "exit status " + std::to_string(WEXITSTATUS(status));
  if (WIFSIGNALED(status))
    return "ended by signal " + std::to_string(WTERMSIG(status));
  return {};
}

}  // namespace nuv::platform
