#include "support/command_runner.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace nuv {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// Keeps what the callbacks see.
class RecordingRunner final : public CommandRunner {
 public:
  ~RecordingRunner() override { Stop(); }

  std::string output() const {
    std::lock_guard lock(mutex_);
    return output_;
  }
  size_t output_bytes() const {
    std::lock_guard lock(mutex_);
    return output_.size();
  }
  size_t error_bytes() const {
    std::lock_guard lock(mutex_);
    return error_bytes_;
  }
  size_t largest_chunk() const {
    std::lock_guard lock(mutex_);
    return largest_chunk_;
  }
  int finished() const {
    std::lock_guard lock(mutex_);
    return finished_;
  }
  std::vector<std::string> started() const {
    std::lock_guard lock(mutex_);
    return started_;
  }

 protected:
  void OnStarted(std::string_view command_line) override {
    std::lock_guard lock(mutex_);
    started_.emplace_back(command_line);
  }
  void OnOutput(std::string_view text) override {
    std::lock_guard lock(mutex_);
    output_ += text;
    largest_chunk_ = std::max(largest_chunk_, text.size());
  }
  void OnErrorOutput(std::string_view text) override {
    std::lock_guard lock(mutex_);
    error_bytes_ += text.size();
    largest_chunk_ = std::max(largest_chunk_, text.size());
  }
  void OnFinished() override {
    std::lock_guard lock(mutex_);
    ++finished_;
  }

 private:
  mutable std::mutex mutex_;
  std::string output_;
  size_t error_bytes_ = 0;
  size_t largest_chunk_ = 0;
  int finished_ = 0;
  std::vector<std::string> started_;
};

// The caller's poll: every 100 ms, here with a limit so a fault cannot hang the test.
bool WaitUntilEnded(const CommandRunner& runner, std::chrono::seconds limit = 30s) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (runner.IsRunning()) {
    if (std::chrono::steady_clock::now() > deadline)
      return false;
    std::this_thread::sleep_for(100ms);
  }
  return true;
}

template <typename Condition>
bool Eventually(Condition condition, std::chrono::seconds limit = 10s) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline)
      return false;
    std::this_thread::sleep_for(5ms);
  }
  return true;
}

size_t ThreadCount() {
  return static_cast<size_t>(std::distance(fs::directory_iterator("/proc/self/task"), {}));
}

bool Alive(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (!std::getline(stat, line))
    return false;
  const size_t close = line.rfind(')');
  return close != std::string::npos && close + 2 < line.size() && line[close + 2] != 'Z';
}

// Starts `sh -c "echo $$; exec sleep 60"` and returns the pid it printed.
pid_t StartSleeper(RecordingRunner& runner) {
  EXPECT_TRUE(runner.Start(R"(sh -c "echo $$; exec sleep 60")", false));
  EXPECT_TRUE(Eventually([&] { return runner.output().find('\n') != std::string::npos; }));
  return static_cast<pid_t>(std::stol(runner.output()));
}

TEST(CommandRunner, AProgramThatDoesNotExistIsNotStarted) {
  const size_t threads = ThreadCount();
  RecordingRunner runner;
  EXPECT_FALSE(runner.Start("no-such-program-h4.exe -x", false));
  EXPECT_FALSE(runner.IsRunning());
  EXPECT_FALSE(CommandRunner::running_flag());
  EXPECT_EQ(runner.output(), "Unable to start no-such-program-h4.exe -x\n");
  EXPECT_NE(runner.start_error().find("no-such-program-h4"), std::string::npos);
  EXPECT_TRUE(runner.started().empty());
  EXPECT_EQ(ThreadCount(), threads);
}

TEST(CommandRunner, ACommandThatCannotBeMappedIsNotStarted) {
  RecordingRunner runner;
  EXPECT_FALSE(runner.Start(R"(gzip.exe -d C:\tmp\x.gz)", false));
  EXPECT_FALSE(runner.IsRunning());
  EXPECT_EQ(runner.output(), "Unable to start gzip.exe -d C:\\tmp\\x.gz\n");
  EXPECT_NE(runner.start_error().find("C:\\tmp\\x.gz"), std::string::npos);
}

TEST(CommandRunner, NothingStartedIsNotRunning) {
  RecordingRunner runner;
  EXPECT_FALSE(runner.IsRunning());
  runner.Stop();
  EXPECT_EQ(runner.finished(), 0);
}

TEST(CommandRunner, BothPipesFloodedWithoutDeadlock) {
  constexpr size_t kBytes = 3'000'000;
  const size_t threads = ThreadCount();
  {
    RecordingRunner runner;
    const std::string command = R"(sh -c "head -c 3000000 /dev/zero >&2 & )"
                                R"(head -c 3000000 /dev/zero; wait")";
    ASSERT_TRUE(runner.Start(command, false));
    EXPECT_EQ(runner.started(), std::vector<std::string>{command});
    EXPECT_EQ(ThreadCount(), threads + 3);
    ASSERT_TRUE(WaitUntilEnded(runner));
    // The watcher clears the flag once it sees the end; what was still in a
    // pipe then (at most its capacity) is not read any more.
    EXPECT_TRUE(Eventually([] { return !CommandRunner::running_flag(); }));
    constexpr size_t kPipeSlack = 1u << 20;
    EXPECT_LE(runner.output_bytes(), kBytes);
    EXPECT_GE(runner.output_bytes(), kBytes - kPipeSlack);
    EXPECT_LE(runner.error_bytes(), kBytes);
    EXPECT_GE(runner.error_bytes(), kBytes - kPipeSlack);
    EXPECT_LE(runner.largest_chunk(), 1024u);
    EXPECT_TRUE(Eventually([&] { return runner.finished() == 1; }));
  }
  EXPECT_EQ(ThreadCount(), threads);
}

TEST(CommandRunner, DestroyingTheRunnerEndsAChildThatOutlivesIt) {
  pid_t pid = 0;
  {
    RecordingRunner runner;
    pid = StartSleeper(runner);
    ASSERT_GT(pid, 0);
    EXPECT_TRUE(Alive(pid));
    EXPECT_TRUE(runner.IsRunning());
    EXPECT_TRUE(CommandRunner::running_flag());
  }
  EXPECT_FALSE(Alive(pid));
  EXPECT_EQ(kill(pid, 0), -1);  // ended and collected
}

TEST(CommandRunner, StopEndsTheChildAndEverything) {
  RecordingRunner runner;
  const pid_t pid = StartSleeper(runner);
  runner.Stop();
  EXPECT_FALSE(runner.IsRunning());
  EXPECT_FALSE(CommandRunner::running_flag());
  EXPECT_FALSE(Alive(pid));
  EXPECT_EQ(runner.finished(), 1);
  runner.Stop();  // nothing left to stop
  EXPECT_EQ(runner.finished(), 1);
}

TEST(CommandRunner, ANewRunnerClearsTheSharedFlagButNotTheChild) {
  RecordingRunner first;
  StartSleeper(first);
  EXPECT_TRUE(CommandRunner::running_flag());
  RecordingRunner second;
  EXPECT_FALSE(CommandRunner::running_flag());
  EXPECT_TRUE(first.IsRunning());  // asks the process, not the flag
  first.Stop();
  EXPECT_FALSE(first.IsRunning());
}

TEST(CommandRunner, StartingAgainEndsAChildStillRunning) {
  RecordingRunner runner;
  const pid_t pid = StartSleeper(runner);
  ASSERT_TRUE(runner.Start("sh -c true", false));
  EXPECT_FALSE(Alive(pid));
  EXPECT_TRUE(WaitUntilEnded(runner));
}

// Real gzip, with Windows-style names under a private root of this test.
class GzipRunnerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("nuv-runner-" + std::to_string(getpid()));
    fs::remove_all(root_);
    setenv("NUV_PRIVATE_ROOT", root_.c_str(), 1);
  }
  void TearDown() override {
    unsetenv("NUV_PRIVATE_ROOT");
    fs::remove_all(root_);
  }
  fs::path root_;
};

std::vector<char> ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST_F(GzipRunnerTest, PacksAndUnpacksABlockWithTheSameRunner) {
  fs::create_directories(root_ / "tmp");
  fs::permissions(root_, fs::perms::owner_all, fs::perm_options::replace);
  std::vector<char> block(300'000);
  for (size_t i = 0; i < block.size(); ++i)
    block[i] = static_cast<char>((i * 2654435761u) >> 13);
  {
    std::ofstream out(root_ / "tmp" / "block", std::ios::binary);
    out.write(block.data(), static_cast<std::streamsize>(block.size()));
  }
  RecordingRunner runner;
  ASSERT_TRUE(runner.Start(R"(gzip.exe D:\tmp\block)", false)) << runner.start_error();
  ASSERT_TRUE(WaitUntilEnded(runner));
  EXPECT_FALSE(fs::exists(root_ / "tmp" / "block"));
  ASSERT_TRUE(fs::exists(root_ / "tmp" / "block.gz"));
  EXPECT_LT(fs::file_size(root_ / "tmp" / "block.gz"), block.size());

  ASSERT_TRUE(runner.Start(R"(gzip.exe -d D:\tmp\block.gz)", false)) << runner.start_error();
  ASSERT_TRUE(WaitUntilEnded(runner));
  EXPECT_FALSE(fs::exists(root_ / "tmp" / "block.gz"));
  EXPECT_EQ(ReadFile(root_ / "tmp" / "block"), block);
}

}  // namespace
}  // namespace nuv
