#include "platform/file_descriptor.h"

#include <unistd.h>

namespace nuv::platform {

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
  if (this != &other) {
    reset();
    handle_ = other.release();
  }
  return *this;
}

NativeHandle FileDescriptor::release() {
  const NativeHandle handle = handle_;
  handle_ = kInvalid;
  return handle;
}

void FileDescriptor::reset() {
  if (handle_ >= 0)
    close(static_cast<int>(handle_));
  handle_ = kInvalid;
}

}  // namespace nuv::platform
