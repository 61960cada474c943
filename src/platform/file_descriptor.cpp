#include "platform/file_descriptor.h"

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

}  // namespace nuv::platform
