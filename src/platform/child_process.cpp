// What a child process does the same way on every system; starting,
// polling and ending it are the system's (process.cpp, process_win32.cpp).
#include <thread>

#include "platform/process.h"

namespace nuv::platform {

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
