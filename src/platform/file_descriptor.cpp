#include "platform/file_descriptor.h"

#include <unistd.h>

namespace nuv::platform {

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
  if (this != &other) {
    reset();
    fd_ = other.release();
  }
  return *this;
}

int FileDescriptor::release() {
  const int fd = fd_;
  fd_ = -1;
  return fd;
}

void FileDescriptor::reset() {
  if (fd_ >= 0)
    close(fd_);
  fd_ = -1;
}

}  // namespace nuv::platform
