#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/file_descriptor.h"
#include "platform/result.h"

namespace nuv::platform {

// The system's number for a running process.
using ProcessId = std::int64_t;

enum class ReadStatus {
  kData,     // `count` bytes were read
  kTimeout,  // nothing arrived in time; ask again
  kEnd,      // every writer has closed its end: nothing more will come
  kError,    // the descriptor cannot be read
};

struct ReadResult {
  ReadStatus status = ReadStatus::kError;
  size_t count = 0;
};

// Waits at most `timeout` for bytes on `fd`, then reads what is there, at
// most `buffer.size()` bytes. The bounded wait lets a reader thread notice
// that it should stop without anyone closing a descriptor under it.
ReadResult ReadAvailable(const FileDescriptor& fd, std::span<char> buffer,
                         std::chrono::milliseconds timeout);

// The file that `name` starts: `name` itself when it holds a folder
// separator, else the first program of that name in the folders of PATH
// (on Windows the tool's own folder first, and a name without an extension
// with ".exe" too). A program is an executable regular file here, a file
// on Windows.
std::optional<std::filesystem::path> FindProgram(std::string_view name);

// This side of the three pipes of a child: its standard input (written
// here), its standard output and its standard error (read here). None of
// them is inherited by children started later.
struct ChildPipes {
  FileDescriptor input;
  FileDescriptor output;
  FileDescriptor error;
};

// A child process started from an argument vector, without a shell. It runs
// in a process group of its own (a job object on Windows), so that ending it
// also ends what it started. Every operation may be called from any thread.
class ChildProcess {
 public:
  // Starts argv[0] (see FindProgram) with the arguments argv, the caller's
  // environment and current directory, its standard handles connected to new
  // pipes whose other ends are put into `pipes`. Why not, when the program
  // cannot be found or started ("no program named "gzip" was found on PATH
  // (/usr/bin:/bin)").
  static Result<std::unique_ptr<ChildProcess>> Spawn(std::span<const std::string> argv,
                                                     ChildPipes& pipes);

  // Ends a child that still runs and collects it, so none is left behind.
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  ProcessId id() const { return pid_; }

  // True until the child has ended; collects it once it has.
  bool IsRunning();
  // The exit status once the child has ended: its exit code, or 128 plus
  // the number of the signal that ended it.
  std::optional<int> ExitStatus();
  // Waits up to `timeout` for the child to end; true when it has.
  bool WaitFor(std::chrono::milliseconds timeout);
  // Ends the child and its process group at once (SIGKILL; on Windows the
  // job, with exit code 1), when it still runs.
  void Kill();

 private:
  explicit ChildProcess(ProcessId pid) : pid_(pid) {}
  // The system's part of Spawn: pipes whose ends in `mine` no child
  // inherits, and whose ends in `child_ends` the child started next does.
  static Result<void> MakePipes(ChildPipes& mine, ChildPipes& child_ends);
  // Starts `program` with `child_ends` as its standard handles.
  static Result<std::unique_ptr<ChildProcess>> Start(const std::filesystem::path& program,
                                                     std::span<const std::string> argv,
                                                     const ChildPipes& child_ends);
  bool PollLocked();

  const ProcessId pid_;
#ifdef _WIN32
  FileDescriptor process_;  // the process handle
  FileDescriptor job_;      // the job object that holds it and its children
#endif
  std::mutex mutex_;
  std::optional<int> status_;
};

}  // namespace nuv::platform
