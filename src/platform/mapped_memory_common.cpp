// Owning and moving a mapping; making and releasing one are the system's
// (mapped_memory.cpp, mapped_memory_win32.cpp).
#include <utility>

#include "platform/mapped_memory.h"

namespace nuv::platform {

MappedMemory::~MappedMemory() {
  Release();
}

MappedMemory::MappedMemory(MappedMemory&& other) noexcept
    : base_(std::exchange(other.base_, nullptr)),
      mapped_(std::exchange(other.mapped_, 0)),
      data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)) {}

MappedMemory& MappedMemory::operator=(MappedMemory&& other) noexcept {
  if (this != &other) {
    Release();
    base_ = std::exchange(other.base_, nullptr);
    mapped_ = std::exchange(other.mapped_, 0);
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
  }
  return *this;
}

}  // namespace nuv::platform
