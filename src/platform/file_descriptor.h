#pragma once

#include <cstdint>

namespace nuv::platform {

// What the system names an open file or pipe by: a file descriptor here, a
// HANDLE on Windows. Both fit, and -1 is invalid for both.
using NativeHandle = std::intptr_t;

// An open file or pipe, closed when dropped.
class FileDescriptor {
 public:
  FileDescriptor() = default;
  explicit FileDescriptor(NativeHandle handle) : handle_(handle) {}
  ~FileDescriptor() { reset(); }
  FileDescriptor(FileDescriptor&& other) noexcept : handle_(other.release()) {}
  FileDescriptor& operator=(FileDescriptor&& other) noexcept;
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;

  NativeHandle get() const { return handle_; }
  explicit operator bool() const { return handle_ != kInvalid; }
  NativeHandle release();
  void reset();

 private:
  static constexpr NativeHandle kInvalid = -1;
  NativeHandle handle_ = kInvalid;
};

}  // namespace nuv::platform
