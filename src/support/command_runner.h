#pragma once

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "platform/process.h"

namespace nuv {

// Runs one external command-line program at a time as a child process with
// its standard input, output and error connected to pipes. Two threads drain
// the output and error pipes so the child never blocks on a full pipe, and a
// watcher thread notices its end. The caller starts a command and then polls
// IsRunning() until the program has ended, before it reads the files the
// program wrote.
//
// The command line is a Windows command line ("gzip.exe -d D:\tmp\x.gz");
// it is split into arguments as Windows programs split it and mapped to a
// native program and native paths (see platform::ToNativeCommand), and the
// program is started directly, never through a shell.
//
// The callbacks run on the runner's own threads (OnStarted on the caller's),
// so they must not touch windows. A class that overrides them must call
// Stop() in its own destructor, so that no thread calls into a half
// destroyed object.
class CommandRunner {
 public:
  // Clears the running flag shared by every runner of the process.
  CommandRunner();
  virtual ~CommandRunner();
  CommandRunner(const CommandRunner&) = delete;
  CommandRunner& operator=(const CommandRunner&) = delete;

  // Starts the command and returns at once. kNotStarted when it could not
  // be started; "Unable to start COMMAND\n" then goes to OnOutput, and
  // start_error says why. The window flag has no meaning here: the child
  // never gets a window.
  enum class StartResult { kStarted, kNotStarted };
  [[nodiscard]] StartResult Start(std::string_view command_line, bool show_window);

  // True while the child started last exists and has not ended; false when
  // none was started.
  bool IsRunning() const;

  // Ends everything: clears the running flag, signals the threads, waits
  // for them, closes the pipes and kills a child that still runs. With
  // something started it takes the stated pauses (500 ms, then 100 ms three
  // times, and up to 1,000 ms for a child that has to be killed); with
  // nothing started it returns at once. Also run by the destructor.
  void Stop();

  // Releases an ended child (its threads joined, its pipes closed) at once,
  // without the waits of Stop, which are there to give a running child time
  // to end. A child that still runs is stopped as Stop stops it.
  void ReleaseEnded();

  // The flag shared by every runner: set when a child has started, cleared
  // when a watcher sees its child end, by Stop and by a new runner.
  static bool running_flag() { return running_.load(); }

  // The exit status of the child started last once it has ended: its exit
  // code, or 128 plus the number of the signal that ended it. Empty while it
  // runs, when none was started, and after Stop.
  std::optional<int> ExitStatus() const;

  // Why the last Start failed, naming the program as the command line names
  // it and where it was looked for ("gzip.exe could not be started: no
  // program named "gzip" was found on PATH (/usr/bin:/bin)."), for callers
  // that explain a failure; empty after a successful start.
  const std::string& start_error() const { return start_error_; }

 protected:
  virtual void OnStarted(std::string_view command_line);
  virtual void OnOutput(std::string_view text);
  virtual void OnErrorOutput(std::string_view text);
  virtual void OnFinished();

 private:
  // A manual-reset event: once set it stays set until the next start.
  class StopEvent {
   public:
    void Set();
    void Reset();
    bool IsSet() const;
    // True when the event is set, waiting at most `timeout` for it.
    bool WaitFor(std::chrono::milliseconds timeout);

   private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool set_ = false;
  };

  void ReadLoop(const platform::FileDescriptor& pipe, bool error_pipe);
  void WatchLoop();
  // Joins the threads of an earlier child and releases its pipes and process.
  void ReleaseChild();

  static std::atomic<bool> running_;

  StopEvent stop_;
  platform::ChildPipes pipes_;
  std::thread output_thread_;
  std::thread error_thread_;
  std::thread watcher_thread_;
  std::unique_ptr<platform::ChildProcess> process_;
  std::string start_error_;
};

}  // namespace nuv
