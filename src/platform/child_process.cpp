// What a child process does the same way on every system; making its
// pipes, starting, polling and ending it are the system's (process.cpp,
// process_win32.cpp).
#include <thread>

#include "platform/process.h"
#include "platform/program_search.h"

namespace nuv::platform {

Result<std::unique_ptr<ChildProcess>> ChildProcess::Spawn(std::span<const std::string> argv,
                                                          ChildPipes& pipes) {
  const Result<std::filesystem::path> program = ProgramToStart(argv);
  if (!program.ok())
    return program.failure();
  ChildPipes mine;
  ChildPipes child_ends;
  if (Result<void> made = MakePipes(mine, child_ends); !made.ok())
    return made.failure();
  Result<std::unique_ptr<ChildProcess>> child = Start(program.value(), argv, child_ends);
  // The child's ends close here: a reader then sees the end of its pipe as
  // soon as the child and everything it started have closed theirs.
  if (child.ok())
    pipes = std::move(mine);
  return child;
}

ChildProcess::~ChildProcess() {
  if (IsRunning()) {
    Kill();
    WaitFor(std::chrono::milliseconds(1000));
  }
}

bool ChildProcess::IsRunning() {
  std::lock_guard lock(mutex_);
  return PollLocked();
}

std::optional<int> ChildProcess::ExitStatus() {
  std::lock_guard lock(mutex_);
  PollLocked();
  return status_;
}

bool ChildProcess::WaitFor(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (!IsRunning())
      return true;
    if (std::chrono::steady_clock::now() >= deadline)
      return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

}  // namespace nuv::platform
