#include "platform/input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace nuv::platform {
namespace {

// Linux moves at most this much in one read call.
constexpr size_t kMaxReadChunk = 0x7FFFF000;

}  // namespace

Result<InputFile> InputFile::Open(const std::filesystem::path& path) {
  FileDescriptor fd(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  struct stat info {};
  if (!fd || fstat(fd.get(), &info) != 0)
    return Failure{std::strerror(errno)};
  if (!S_ISREG(info.st_mode))
    return Failure{"it is not a regular file"};
  return InputFile(std::move(fd), static_cast<uint64_t>(info.st_size), path);
}

std::optional<size_t> InputFile::ReadInto(std::span<uint8_t> bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const size_t want = std::min(bytes.size() - done, kMaxReadChunk);
    const ssize_t got = read(fd_.get(), bytes.data() + done, want);
    if (got < 0 && errno == EINTR)
      continue;
    if (got < 0)
      return std::nullopt;
    if (got == 0)
      break;
    done += static_cast<size_t>(got);
  }
  return done;
}

}  // namespace nuv::platform
