#include "support/command_runner.h"

#include <array>
#include <chrono>
#include <utility>

#include "platform/command_line.h"

namespace nuv {
namespace {

using std::chrono::milliseconds;

// Pipe reads take at most this many bytes at a time.
constexpr size_t kReadChunk = 1024;
// How long a reader waits for bytes before it looks at the flags again; it
// bounds how long Stop waits for a reader.
constexpr milliseconds kReadWait{50};

void Pause(milliseconds time) {
  std::this_thread::sleep_for(time);
}

void Join(std::thread& thread) {
  if (thread.joinable())
    thread.join();
}

}  // namespace

std::atomic<bool> CommandRunner::running_{false};

void CommandRunner::StopEvent::Set() {
  {
    std::lock_guard lock(mutex_);
    set_ = true;
  }
  changed_.notify_all();
}

void CommandRunner::StopEvent::Reset() {
  std::lock_guard lock(mutex_);
  set_ = false;
}

bool CommandRunner::StopEvent::IsSet() const {
  std::lock_guard lock(mutex_);
  return set_;
}

bool CommandRunner::StopEvent::WaitFor(milliseconds timeout) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, timeout, [this] { return set_; });
}

CommandRunner::CommandRunner() {
  running_ = false;
}

CommandRunner::~CommandRunner() {
  Stop();
}

void CommandRunner::OnStarted(std::string_view) {}
void CommandRunner::OnOutput(std::string_view) {}
void CommandRunner::OnErrorOutput(std::string_view) {}
void CommandRunner::OnFinished() {}

CommandRunner::StartResult CommandRunner::Start(std::string_view command_line,
                                                bool /*show_window*/) {
  if (process_ || watcher_thread_.joinable()) {
    if (IsRunning())
      Stop();
    else
      ReleaseChild();
  }
  start_error_.clear();
  // Why nothing runs, naming the program as the command line names it
  // when it names one.
  const auto not_started = [&](const std::string& program, const std::string& reason) {
    start_error_ = program.empty() ? reason : program + " could not be started: " + reason;
    if (!start_error_.empty() && start_error_.back() != '.')
      start_error_ += '.';
    OnOutput("Unable to start " + std::string(command_line) + "\n");
    return StartResult::kNotStarted;
  };
  const auto native = platform::ToNativeCommand(command_line);
  if (!native.ok())
    return not_started(native.failure().program, native.error());
  auto spawned = platform::ChildProcess::Spawn(native.value().argv, pipes_);
  if (!spawned.ok())
    return not_started(native.value().program, spawned.error());
  process_ = std::move(spawned.value());
  running_ = true;
  stop_.Reset();
  output_thread_ = std::thread([this] { ReadLoop(pipes_.output, false); });
  error_thread_ = std::thread([this] { ReadLoop(pipes_.error, true); });
  watcher_thread_ = std::thread([this] { WatchLoop(); });
  OnStarted(command_line);
  return StartResult::kStarted;
}

bool CommandRunner::IsRunning() const {
  return process_ && process_->IsRunning();
}

std::optional<int> CommandRunner::ExitStatus() const {
  if (!process_)
    return std::nullopt;
  return process_->ExitStatus();
}

void CommandRunner::ReadLoop(const platform::FileDescriptor& pipe, bool error_pipe) {
  std::array<char, kReadChunk + 1> buffer{};
  while (running_ && !stop_.IsSet()) {
    const platform::ReadResult read =
        platform::ReadAvailable(pipe, std::span<char>(buffer.data(), kReadChunk), kReadWait);
    if (read.status == platform::ReadStatus::kTimeout)
      continue;
    if (read.status != platform::ReadStatus::kData)
      break;
    buffer[read.count] = '\0';
    const std::string_view text(buffer.data(), read.count);
    if (error_pipe)
      OnErrorOutput(text);
    else
      OnOutput(text);
  }
}

void CommandRunner::WatchLoop() {
  while (running_) {
    if (stop_.WaitFor(milliseconds(1)))
      break;
    if (!process_->IsRunning()) {
      running_ = false;
      break;
    }
  }
  OnFinished();
}

void CommandRunner::ReleaseChild() {
  stop_.Set();
  Join(watcher_thread_);
  Join(output_thread_);
  Join(error_thread_);
  pipes_ = platform::ChildPipes();
  process_.reset();
}

void CommandRunner::ReleaseEnded() {
  if (IsRunning()) {
    Stop();
    return;
  }
  if (process_ || watcher_thread_.joinable())
    ReleaseChild();
}

void CommandRunner::Stop() {
  if (!process_ && !watcher_thread_.joinable())
    return;
  running_ = false;
  stop_.Set();
  Pause(milliseconds(500));
  Join(watcher_thread_);
  Pause(milliseconds(100));
  // The readers are joined before their pipe ends close: closing a
  // descriptor that another thread waits on could hand its number to an
  // unrelated file. Each reader sees the stop within one read wait.
  Join(output_thread_);
  Join(error_thread_);
  pipes_ = platform::ChildPipes();
  Pause(milliseconds(100));
  Pause(milliseconds(100));
  if (process_ && process_->IsRunning()) {
    process_->Kill();
    process_->WaitFor(milliseconds(1000));
  }
  process_.reset();
}

}  // namespace nuv
