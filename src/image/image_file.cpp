#include "image/image_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace nuv::image {
namespace {

// Closes the descriptor when the load ends, whichever way.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0)
      close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// Linux moves at most this much in one read call.
constexpr size_t kMaxReadChunk = 0x7FFFF000;

}  // namespace

bool LoadImageFile(FlashImage& image, const std::string& path, Messages& messages) {
  // Non-blocking, so that naming a pipe cannot hang the tool before the
  // regular-file check below refuses it.
  FileDescriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  struct stat info {};
  if (file.get() < 0 || fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
    messages.Show(BoxCaption::Error, "Failed to open the flash file!");
    return false;
  }
  const auto length = static_cast<uint64_t>(info.st_size);
  if (length > kMaxImageLength) {
    messages.Show(BoxCaption::Error, kTooLargeText);
    return false;
  }
  image.Release();
  std::shared_ptr<ImageBuffer> buffer = ImageBuffer::Allocate(static_cast<size_t>(length));
  if (!buffer) {
    messages.Show(BoxCaption::Error, "no memery!");
    return false;
  }
  image.image = buffer;
  const std::span<uint8_t> bytes = buffer->bytes();
  size_t done = 0;
  while (done < bytes.size()) {
    const size_t want = std::min(bytes.size() - done, kMaxReadChunk);
    const ssize_t got = read(file.get(), bytes.data() + done, want);
    if (got < 0 && errno == EINTR)
      continue;
    if (got < 0) {
      messages.Show(BoxCaption::Error, "Failed to read the flash file!");
      return false;
    }
    if (got == 0)
      break;
    done += static_cast<size_t>(got);
  }
  buffer->ShrinkTo(done);
  return true;
}

}  // namespace nuv::image
