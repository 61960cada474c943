#include "platform/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/file_descriptor.h"

namespace nuv::platform {
namespace {

namespace fs = std::filesystem;

WriteFailure NotWritten(WriteError kind, const fs::path& target, std::string_view why) {
  return {kind, "Cannot write \"" + target.string() + "\": " + std::string(why) + "."};
}

WriteFailure SystemNotWritten(WriteError kind, const fs::path& target) {
  return NotWritten(kind, target, std::strerror(errno));
}

std::string_view KindOf(mode_t mode) {
  if (S_ISDIR(mode))
    return "it is a folder, not a file";
  if (S_ISFIFO(mode))
    return "it is a named pipe (FIFO), not a file";
  if (S_ISCHR(mode) || S_ISBLK(mode))
    return "it is a device, not a file";
  if (S_ISSOCK(mode))
    return "it is a socket, not a file";
  return "it is not a regular file";
}

// The mode open() would give a new file. The umask is read from the process
// status, because setting it to learn it would race with other threads.
mode_t NewFileMode() {
  mode_t mask = 022;
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("Umask:", 0) == 0) {
      mask = static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
      break;
    }
  }
  return 0666 & ~mask;
}

// Where the bytes end up, and what the file there must look like.
struct Destination {
  fs::path path;  // the regular file at the end of any links, or the new file
  mode_t mode = 0;
  std::optional<struct stat> existing;
};

struct Resolved {
  std::optional<Destination> destination;
  WriteResult refusal;
};

Resolved Resolve(const fs::path& target) {
  if (target.empty())
    return {std::nullopt, NotWritten(WriteError::kCannotCreate, target, "no file name was given")};
  struct stat info {};
  if (stat(target.c_str(), &info) == 0) {
    if (!S_ISREG(info.st_mode))
      return {std::nullopt, NotWritten(WriteError::kRefused, target, KindOf(info.st_mode))};
    const std::unique_ptr<char, decltype(&std::free)> real(realpath(target.c_str(), nullptr),
                                                           &std::free);
    if (!real)
      return {std::nullopt, SystemNotWritten(WriteError::kCannotCreate, target)};
    return {Destination{real.get(), info.st_mode & 07777, info}, {}};
  }
  if (errno != ENOENT)
    return {std::nullopt, SystemNotWritten(WriteError::kCannotCreate, target)};
  struct stat link {};
  if (lstat(target.c_str(), &link) == 0 && S_ISLNK(link.st_mode))
    return {std::nullopt, NotWritten(WriteError::kRefused, target,
                                     "it is a symbolic link to a file that does not exist")};
  if (!target.has_filename())
    return {std::nullopt, NotWritten(WriteError::kCannotCreate, target, "it names no file")};
  return {Destination{target, NewFileMode(), std::nullopt}, {}};
}

bool WriteAll(int fd, std::span<const uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t put = write(fd, bytes.data(), bytes.size());
    if (put < 0 && errno == EINTR)
      continue;
    if (put < 0)
      return false;
    if (put == 0) {
      errno = ENOSPC;
      return false;
    }
    bytes = bytes.subspan(static_cast<size_t>(put));
  }
  return true;
}

// The new file gets the old one's owner (where we may give it) before its
// mode, since a change of owner clears set-id bits.
bool TakeOverAttributes(int fd, const Destination& destination) {
  if (destination.existing)
    static_cast<void>(fchown(fd, destination.existing->st_uid, destination.existing->st_gid));
  return fchmod(fd, destination.mode) == 0;
}

// Makes the rename itself durable. The file is in place by now whatever this
// says, so a folder that cannot be flushed is not reported as a failed write.
void FlushFolderOf(const fs::path& file) {
  const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
  const FileDescriptor dir(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir)
    static_cast<void>(fsync(dir.get()));
}

}  // namespace

WriteResult WriteFileReplacing(const fs::path& target, std::span<const uint8_t> bytes) {
  const Resolved resolved = Resolve(target);
  if (!resolved.destination)
    return resolved.refusal;
  const Destination& destination = *resolved.destination;

  const std::string pattern = destination.path.string() + ".XXXXXX";
  std::vector<char> temporary(pattern.begin(), pattern.end());
  temporary.push_back('\0');
  FileDescriptor fd(mkostemp(temporary.data(), O_CLOEXEC));
  if (!fd)
    return SystemNotWritten(WriteError::kCannotCreate, target);

  const bool written = WriteAll(fd.get(), bytes) && TakeOverAttributes(fd.get(), destination) &&
                       fsync(fd.get()) == 0 && close(fd.release()) == 0 &&
                       rename(temporary.data(), destination.path.c_str()) == 0;
  if (!written) {
    const int error = errno;
    fd.reset();
    unlink(temporary.data());
    errno = error;
    return SystemNotWritten(WriteError::kCannotWrite, target);
  }
  FlushFolderOf(destination.path);
  return {};
}

}  // namespace nuv::platform
