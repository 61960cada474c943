#include "support/command_runner.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "support/batch_runner.h"

namespace nuv {
namespace {

using namespace std::chrono_literals;

// What the callbacks saw.
struct Seen {
  std::string output;
  size_t error_bytes = 0;
  size_t largest_chunk = 0;
  int finished = 0;
  std::vector<std::string> started;
};

class RecordingRunner final : public CommandRunner {
 public:
  ~RecordingRunner() override { Stop(); }
  Seen seen() const {
    std::lock_guard lock(mutex_);
    return seen_;
  }

 protected:
  void OnStarted(std::string_view command_line) override {
    std::lock_guard lock(mutex_);
    seen_.started.emplace_back(command_line);
  }
  void OnOutput(std::string_view text) override {
    std::lock_guard lock(mutex_);
    seen_.output += text;
    seen_.largest_chunk = std::max(seen_.largest_chunk, text.size());
  }
  void OnErrorOutput(std::string_view text) override {
    std::lock_guard lock(mutex_);
    seen_.error_bytes += text.size();
    seen_.largest_chunk = std::max(seen_.largest_chunk, text.size());
  }
  void OnFinished() override {
    std::lock_guard lock(mutex_);
    ++seen_.finished;
  }

 private:
  mutable std::mutex mutex_;
  Seen seen_;
};

// The caller's poll, with a limit so that a fault cannot hang the test.
template <typename Condition>
bool Eventually(Condition condition, std::chrono::milliseconds step = 5ms) {
  const auto deadline = std::chrono::steady_clock::now() + 30s;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline)
      return false;
    std::this_thread::sleep_for(step);
  }
  return true;
}

bool Ended(const CommandRunner& runner) {
  return Eventually([&] { return !runner.IsRunning(); }, 100ms);
}

size_t ThreadCount() {
  return static_cast<size_t>(
      std::distance(std::filesystem::directory_iterator("/proc/self/task"), {}));
}

// Starts a shell that prints its pid and becomes `sleep 60`; returns the pid.
pid_t StartSleeper(RecordingRunner& runner) {
  EXPECT_EQ(runner.Start(R"(sh -c "echo $$; exec sleep 60")", false),
            CommandRunner::StartResult::kStarted);
  EXPECT_TRUE(Eventually([&] { return runner.seen().output.find('\n') != std::string::npos; }));
  return static_cast<pid_t>(std::stol(runner.seen().output));
}

TEST(CommandRunner, WhatCannotBeStartedSaysSoAndStartsNoThread) {
  const size_t threads = ThreadCount();
  const std::string path = std::getenv("PATH");
  const std::pair<std::string, std::string> cases[] = {
      {"no-such-program-h4.exe -x",
       "no-such-program-h4.exe could not be started: no program named \"no-such-program-h4\" was "
       "found on PATH (" +
           path + ")."},
      {R"(gzip.exe -d C:\tmp\x.gz)",
       R"(gzip.exe could not be started: The drive of C:\tmp\x.gz does not exist here.)"},
  };
  for (const auto& [command, reason] : cases) {
    RecordingRunner runner;
    EXPECT_EQ(runner.Start(command, false), CommandRunner::StartResult::kNotStarted);
    EXPECT_FALSE(runner.IsRunning());
    EXPECT_FALSE(runner.ExitStatus());
    EXPECT_FALSE(CommandRunner::running_flag());
    EXPECT_EQ(runner.seen().output, "Unable to start " + command + "\n");
    EXPECT_EQ(runner.start_error(), reason);
    EXPECT_TRUE(runner.seen().started.empty());
    EXPECT_EQ(ThreadCount(), threads);
  }
  RecordingRunner idle;
  idle.Stop();
  EXPECT_EQ(idle.seen().finished, 0);
}

TEST(CommandRunner, BothPipesFloodedWithoutDeadlock) {
  constexpr size_t kBytes = 3'000'000;
  const size_t threads = ThreadCount();
  {
    RecordingRunner runner;
    const std::string command = R"(sh -c "head -c 3000000 /dev/zero >&2 & )"
                                R"(head -c 3000000 /dev/zero; wait")";
    ASSERT_EQ(runner.Start(command, false), CommandRunner::StartResult::kStarted);
    EXPECT_EQ(runner.seen().started, std::vector<std::string>{command});
    EXPECT_EQ(ThreadCount(), threads + 3);
    ASSERT_TRUE(Ended(runner));
    // The watcher clears the flag once it sees the end; what was still in a
    // pipe then (at most its capacity) is not read any more.
    EXPECT_TRUE(Eventually([] { return !CommandRunner::running_flag(); }));
    EXPECT_TRUE(Eventually([&] { return runner.seen().finished == 1; }));
    const Seen seen = runner.seen();
    constexpr size_t kPipeSlack = 1u << 20;
    EXPECT_LE(seen.output.size(), kBytes);
    EXPECT_GE(seen.output.size(), kBytes - kPipeSlack);
    EXPECT_LE(seen.error_bytes, kBytes);
    EXPECT_GE(seen.error_bytes, kBytes - kPipeSlack);
    EXPECT_LE(seen.largest_chunk, 1024u);
  }
  EXPECT_EQ(ThreadCount(), threads);
}

TEST(CommandRunner, StopOrANewStartEndsTheChildAndANewRunnerOnlyClearsTheSharedFlag) {
  RecordingRunner runner;
  pid_t pid = StartSleeper(runner);
  EXPECT_EQ(kill(pid, 0), 0);
  EXPECT_TRUE(CommandRunner::running_flag());
  RecordingRunner second;
  EXPECT_FALSE(CommandRunner::running_flag());
  EXPECT_TRUE(runner.IsRunning());  // asks the process, not the flag
  runner.Stop();
  EXPECT_FALSE(runner.IsRunning());
  EXPECT_FALSE(CommandRunner::running_flag());
  EXPECT_EQ(kill(pid, 0), -1);  // ended and collected
  EXPECT_EQ(runner.seen().finished, 1);
  runner.Stop();  // nothing left to stop
  EXPECT_EQ(runner.seen().finished, 1);

  pid = StartSleeper(second);
  EXPECT_FALSE(second.ExitStatus());
  ASSERT_EQ(second.Start(R"(sh -c "exit 3")", false), CommandRunner::StartResult::kStarted);
  EXPECT_EQ(kill(pid, 0), -1);
  EXPECT_TRUE(Ended(second));
  EXPECT_EQ(second.ExitStatus(), 3);
}

// Batch work: Start returns when the program has ended, and the runner
// releases its threads at once; a child that still runs is stopped.
TEST(CommandRunner, ABatchRunnerStartsAndReleasesWithoutWaiting) {
  const size_t threads = ThreadCount();
  {
    BatchCommandRunner runner;
    ASSERT_EQ(runner.Start("sh -c \"sleep 0.3\"", false), CommandRunner::StartResult::kStarted);
    EXPECT_FALSE(runner.IsRunning());
    runner.ReleaseEnded();
    EXPECT_EQ(ThreadCount(), threads);
    ASSERT_EQ(runner.Start("sh -c \"exit 3\"", false), CommandRunner::StartResult::kStarted);
  }
  EXPECT_EQ(ThreadCount(), threads);

  RecordingRunner running;
  const pid_t pid = StartSleeper(running);
  running.ReleaseEnded();
  EXPECT_EQ(kill(pid, 0), -1);
  EXPECT_EQ(ThreadCount(), threads);
}

}  // namespace
}  // namespace nuv
