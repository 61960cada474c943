#include "support/batch_runner.h"

#include <chrono>
#include <thread>

namespace nuv {

BatchCommandRunner::~BatchCommandRunner() {
  ReleaseEnded();
}

void BatchCommandRunner::OnStarted(std::string_view) {
  // As the callers' poll, without a time limit, but at the watcher's pace.
  while (IsRunning())
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

}  // namespace nuv
