#include "platform/spawn.h"

#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>
#include <thread>
#include <vector>

#include "platform/exec_arguments.h"
#include "platform/program_search.h"

extern char** environ;

namespace nuv::platform {
namespace {

// The child's id, or why there is none.
Result<pid_t> Start(std::span<const std::string> argv) {
  const Result<std::filesystem::path> program = ProgramToStart(argv);
  if (!program.ok())
    return program.failure();
  std::vector<char*> args = ExecArguments(argv);
  pid_t pid = -1;
  if (const int failed =
          posix_spawn(&pid, program.value().c_str(), nullptr, nullptr, args.data(), environ))
    return Failure{"cannot start \"" + argv[0] + "\": " + std::strerror(failed)};
  return pid;
}

}  // namespace

Result<void> SpawnDetached(std::span<const std::string> argv) {
  const Result<pid_t> started = Start(argv);
  if (!started.ok())
    return started.failure();
  // Nobody waits for the program; a detached thread collects it so that it
  // does not linger as a zombie while the tool runs.
  std::thread([pid = started.value()] {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return {};
}

Result<void> RunToEnd(std::span<const std::string> argv) {
  const Result<pid_t> started = Start(argv);
  if (!started.ok())
    return started.failure();
  int status = 0;
  while (waitpid(started.value(), &status, 0) < 0) {
    if (errno != EINTR)
      return Failure{"cannot wait for \"" + argv[0] + "\": " + std::strerror(errno)};
  }
  if (WIFEXITED(status) && WEXITSTATUS(status) != 0)
    return Failure{"exit status " + std::to_string(WEXITSTATUS(status))};
  if (WIFSIGNALED(status))
    return Failure{"ended by signal " + std::to_string(WTERMSIG(status))};
  return {};
}

}  // namespace nuv::platform
