#include "support/command_runner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/paths.h"
#include "support/batch_runner.h"
#include "test_files.h"
#include "test_processes.h"

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

using test::ProcessExists;
using test::ThreadCount;

// The commands the tests run: sh's on POSIX, cmd.exe's on Windows.
#ifdef _WIN32
const char kExit3[] = "cmd.exe /c exit 3";
const char kShortWait[] = "ping -n 2 127.0.0.1";
#else
const char kExit3[] = R"(sh -c "exit 3")";
const char kShortWait[] = R"(sh -c "sleep 0.3")";
#endif

// Starts a child that runs until it is ended; returns its process id.
platform::ProcessId StartSleeper(RecordingRunner& runner) {
#ifdef _WIN32  // `more` waits for the end of an input that the runner holds
  EXPECT_EQ(runner.Start("cmd.exe /c more", false), CommandRunner::StartResult::kStarted)
      << runner.start_error();
  platform::ProcessId pid = 0;
  EXPECT_TRUE(Eventually([&] { return (pid = test::ChildNamed(L"cmd.exe")) != 0; }));
  return pid;
#else  // the shell prints its pid and becomes `sleep 60`
  EXPECT_EQ(runner.Start(R"(sh -c "echo $$; exec sleep 60")", false),
            CommandRunner::StartResult::kStarted)
      << runner.start_error();
  EXPECT_TRUE(Eventually([&] { return runner.seen().output.find('\n') != std::string::npos; }));
  return std::stol(runner.seen().output);
#endif
}

TEST(CommandRunner, WhatCannotBeStartedSaysSoAndStartsNoThread) {
  const test::PrivateRootFolder root;
  const size_t threads = ThreadCount();
  const std::string path = std::getenv("PATH");
  const std::pair<std::string, std::string> cases[] = {
#ifdef _WIN32  // the name as the system runs it
      {"no-such-program-h4.exe -x", "no-such-program-h4.exe could not be started: " +
                                        test::ProgramNotFound("no-such-program-h4.exe", path) +
                                        "."},
#else
      {"no-such-program-h4.exe -x", "no-such-program-h4.exe could not be started: " +
                                        test::ProgramNotFound("no-such-program-h4", path) + "."},
      {R"(gzip.exe -d C:\tmp\x.gz)",  // drive C: exists on Windows
       R"(gzip.exe could not be started: The drive of C:\tmp\x.gz does not exist here.)"},
#endif
      {R"(gzip.exe -d D:\..\x.gz)",
       R"(gzip.exe could not be started: The name D:\..\x.gz leaves the private folder; refused.)"},
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

// Many times what a pipe holds (64 KiB on Linux, a few KiB on Windows,
// where under Wine a few hundred kilobytes take seconds to read).
#ifdef _WIN32
constexpr size_t kBytes = 200'000;
constexpr size_t kPipeSlack = 1u << 16;
#else
constexpr size_t kBytes = 3'000'000;
constexpr size_t kPipeSlack = 1u << 20;
#endif

TEST(CommandRunner, BothPipesFloodedWithoutDeadlock) {
  const size_t threads = ThreadCount();
  {
    const test::TempFolder folder;
    RecordingRunner runner;
#ifdef _WIN32  // one pipe after the other: a runner that drained only one would hang
    std::string lines;
    while (lines.size() < kBytes)
      lines += std::string(998, 'x') + "\r\n";
    const std::string text = folder.Write("lines.txt", lines);
    const std::string command = "cmd.exe /c \"type " + text + "& type " + text + ">&2\"";
#else
    const std::string command = R"(sh -c "head -c 3000000 /dev/zero >&2 & )"
                                R"(head -c 3000000 /dev/zero; wait")";
#endif
    ASSERT_EQ(runner.Start(command, false), CommandRunner::StartResult::kStarted)
        << runner.start_error();
    EXPECT_EQ(runner.seen().started, std::vector<std::string>{command});
    EXPECT_EQ(ThreadCount(), threads + 3);
    ASSERT_TRUE(Ended(runner));
    // The watcher clears the flag once it sees the end; what was still in a
    // pipe then (at most its capacity) is not read any more.
    EXPECT_TRUE(Eventually([] { return !CommandRunner::running_flag(); }));
    EXPECT_TRUE(Eventually([&] { return runner.seen().finished == 1; }));
    const Seen seen = runner.seen();
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
  platform::ProcessId pid = StartSleeper(runner);
  EXPECT_TRUE(ProcessExists(pid));
  EXPECT_TRUE(CommandRunner::running_flag());
  RecordingRunner second;
  EXPECT_FALSE(CommandRunner::running_flag());
  EXPECT_TRUE(runner.IsRunning());  // asks the process, not the flag
  runner.Stop();
  EXPECT_FALSE(runner.IsRunning());
  EXPECT_FALSE(CommandRunner::running_flag());
  EXPECT_FALSE(ProcessExists(pid));  // ended and collected
  EXPECT_EQ(runner.seen().finished, 1);
  runner.Stop();  // nothing left to stop
  EXPECT_EQ(runner.seen().finished, 1);

  pid = StartSleeper(second);
  EXPECT_FALSE(second.ExitStatus());
  ASSERT_EQ(second.Start(kExit3, false), CommandRunner::StartResult::kStarted)
      << second.start_error();
  EXPECT_FALSE(ProcessExists(pid));
  EXPECT_TRUE(Ended(second));
  EXPECT_EQ(second.ExitStatus(), 3);
}

// Batch work: Start returns when the program has ended, and the runner
// releases its threads at once; a child that still runs is stopped.
TEST(CommandRunner, ABatchRunnerStartsAndReleasesWithoutWaiting) {
  const size_t threads = ThreadCount();
  {
    BatchCommandRunner runner;
    ASSERT_EQ(runner.Start(kShortWait, false), CommandRunner::StartResult::kStarted)
        << runner.start_error();
    EXPECT_FALSE(runner.IsRunning());
    runner.ReleaseEnded();
    EXPECT_EQ(ThreadCount(), threads);
    ASSERT_EQ(runner.Start(kExit3, false), CommandRunner::StartResult::kStarted)
        << runner.start_error();
  }
  EXPECT_EQ(ThreadCount(), threads);

  RecordingRunner running;
  const platform::ProcessId pid = StartSleeper(running);
  running.ReleaseEnded();
  EXPECT_FALSE(ProcessExists(pid));
  EXPECT_EQ(ThreadCount(), threads);
}

}  // namespace
}  // namespace nuv
