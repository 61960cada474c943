#pragma once

#include <string_view>

#include "support/command_runner.h"

namespace nuv {

// A runner for batch work, where nobody looks at a window while a program
// runs: Start returns once the program has ended, so a caller's poll
// (sleep 100 ms while it runs) finds it ended at its first question, and
// the runner goes without the waits that Stop gives a running child. The
// program runs, and its output is drained, as with any runner.
class BatchCommandRunner final : public CommandRunner {
 public:
  BatchCommandRunner() = default;
  ~BatchCommandRunner() override;

 protected:
  void OnStarted(std::string_view command_line) override;
};

}  // namespace nuv
