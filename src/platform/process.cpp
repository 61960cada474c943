#include "platform/process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "platform/exec_arguments.h"
#include "platform/program_search.h"

extern char** environ;

namespace nuv::platform {
namespace {

// Owns the attributes and file actions of one posix_spawn call.
class SpawnSetup {
 public:
  SpawnSetup() {
    ok_ = posix_spawn_file_actions_init(&actions_) == 0;
    ok_ = posix_spawnattr_init(&attr_) == 0 && ok_;
  }
  ~SpawnSetup() {
    posix_spawn_file_actions_destroy(&actions_);
    posix_spawnattr_destroy(&attr_);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;

  bool Prepare(int input, int output, int error) {
    if (!ok_)
      return false;
    sigset_t none;
    sigset_t defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    // A group of its own stands for the console of its own that the child
    // gets on Windows: ending the group ends whatever the child started.
    return posix_spawn_file_actions_adddup2(&actions_, input, STDIN_FILENO) == 0 &&
           posix_spawn_file_actions_adddup2(&actions_, output, STDOUT_FILENO) == 0 &&
           posix_spawn_file_actions_adddup2(&actions_, error, STDERR_FILENO) == 0 &&
           posix_spawnattr_setflags(&attr_, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK |
                                                POSIX_SPAWN_SETSIGDEF) == 0 &&
           posix_spawnattr_setpgroup(&attr_, 0) == 0 &&
           posix_spawnattr_setsigmask(&attr_, &none) == 0 &&
           posix_spawnattr_setsigdefault(&attr_, &defaults) == 0;
  }
  const posix_spawn_file_actions_t* actions() const { return &actions_; }
  const posix_spawnattr_t* attr() const { return &attr_; }

 private:
  posix_spawn_file_actions_t actions_{};
  posix_spawnattr_t attr_{};
  bool ok_ = false;
};

// A pipe whose both ends are closed on exec, so no other child inherits them.
bool MakePipe(FileDescriptor& read_end, FileDescriptor& write_end) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0)
    return false;
  read_end = FileDescriptor(fds[0]);
  write_end = FileDescriptor(fds[1]);
  return true;
}

bool IsExecutableFile(const std::filesystem::path& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

int DecodeStatus(int raw) {
  if (WIFEXITED(raw))
    return WEXITSTATUS(raw);
  if (WIFSIGNALED(raw))
    return 128 + WTERMSIG(raw);
  return -1;
}

}  // namespace

ReadResult ReadAvailable(const FileDescriptor& fd, std::span<char> buffer,
                         std::chrono::milliseconds timeout) {
  ReadResult result;
  if (!fd || buffer.empty())
    return result;
  pollfd watch{static_cast<int>(fd.get()), POLLIN, 0};
  const int ready = poll(&watch, 1, static_cast<int>(timeout.count()));
  if (ready == 0 || (ready < 0 && errno == EINTR)) {
    result.status = ReadStatus::kTimeout;
    return result;
  }
  if (ready < 0 || (watch.revents & POLLNVAL) != 0)
    return result;
  const ssize_t n = read(fd.get(), buffer.data(), buffer.size());
  if (n > 0) {
    result.status = ReadStatus::kData;
    result.count = static_cast<size_t>(n);
  } else if (n == 0) {
    result.status = ReadStatus::kEnd;
  } else if (errno == EINTR || errno == EAGAIN) {
    result.status = ReadStatus::kTimeout;
  }
  return result;
}

std::optional<std::filesystem::path> ProgramIn(const std::filesystem::path& folder,
                                               std::string_view name) {
  std::filesystem::path candidate = folder / std::string(name);
  if (IsExecutableFile(candidate))
    return candidate;
  return std::nullopt;
}

namespace {

std::string ProgramSearchPath() {
  if (const char* env = std::getenv("PATH"); env != nullptr)
    return env;
  return "/usr/local/bin:/usr/bin:/bin";
}

}  // namespace

std::vector<std::filesystem::path> ProgramFolders() {
  const std::string search = ProgramSearchPath();
  std::vector<std::filesystem::path> folders;
  size_t start = 0;
  for (;;) {
    const size_t colon = search.find(':', start);
    const std::string_view piece =
        std::string_view(search).substr(start, colon == std::string::npos ? colon : colon - start);
    // An empty PATH entry means the current directory.
    folders.emplace_back(piece.empty() ? std::string_view(".") : piece);
    if (colon == std::string::npos)
      return folders;
    start = colon + 1;
  }
}

std::string ProgramSearchPlaces() {
  return "on PATH (" + ProgramSearchPath() + ")";
}

Result<void> ChildProcess::MakePipes(ChildPipes& mine, ChildPipes& child_ends) {
  if (!MakePipe(child_ends.input, mine.input) || !MakePipe(mine.output, child_ends.output) ||
      !MakePipe(mine.error, child_ends.error))
    return Failure{std::string("its pipes cannot be made: ") + std::strerror(errno)};
  return {};
}

Result<std::unique_ptr<ChildProcess>> ChildProcess::Start(const std::filesystem::path& program,
                                                          std::span<const std::string> argv,
                                                          const ChildPipes& child_ends) {
  SpawnSetup setup;
  if (!setup.Prepare(static_cast<int>(child_ends.input.get()),
                     static_cast<int>(child_ends.output.get()),
                     static_cast<int>(child_ends.error.get())))
    return Failure{"its start cannot be prepared"};
  std::vector<char*> args = ExecArguments(argv);
  pid_t pid = -1;
  const int status =
      posix_spawn(&pid, program.c_str(), setup.actions(), setup.attr(), args.data(), environ);
  if (status != 0)
    return Failure{program.string() + " cannot be run: " + std::strerror(status)};
  return std::unique_ptr<ChildProcess>(new ChildProcess(pid));
}

bool ChildProcess::PollLocked() {
  if (status_)
    return false;
  int raw = 0;
  const pid_t pid = static_cast<pid_t>(pid_);
  const pid_t done = waitpid(pid, &raw, WNOHANG);
  if (done == 0)
    return true;
  if (done == pid)
    status_ = DecodeStatus(raw);
  else if (done < 0 && errno == EINTR)
    return true;
  else
    status_ = -1;  // collected elsewhere: it has ended, with an unknown status
  return false;
}

void ChildProcess::Kill() {
  std::lock_guard lock(mutex_);
  // Only while the child is not collected is its id sure to name our group.
  if (PollLocked())
    kill(-static_cast<pid_t>(pid_), SIGKILL);
}

}  // namespace nuv::platform
