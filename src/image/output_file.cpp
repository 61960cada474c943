#include "image/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace nuv::image {
namespace {

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

bool WriteAll(int fd, std::span<const uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t put = write(fd, bytes.data(), bytes.size());
    if (put < 0 && errno == EINTR)
      continue;
    if (put <= 0)
      return false;
    bytes = bytes.subspan(static_cast<size_t>(put));
  }
  return true;
}

}  // namespace

bool WriteFileReplacing(const std::filesystem::path& path, std::span<const uint8_t> bytes) {
  if (path.empty() || !path.has_filename())
    return false;
  std::string pattern = path.string() + ".XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0)
    return false;
  struct stat existing {};
  const mode_t mode =
      stat(path.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : NewFileMode();
  bool ok = WriteAll(fd, bytes) && fchmod(fd, mode) == 0 && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  ok = ok && rename(name.data(), path.c_str()) == 0;
  if (!ok)
    unlink(name.data());
  return ok;
}

}  // namespace nuv::image
