// Owning and moving a mapping, and what mapping a file means whatever the
// system; making and releasing a mapping are the system's
// (mapped_memory.cpp, mapped_memory_win32.cpp).
#include <cstdint>
#include <utility>

#include "platform/input_file.h"
#include "platform/mapped_memory.h"

namespace nuv::platform {

std::optional<MappedMemory> MappedMemory::MapFile(const InputFile& file) {
  // No system maps zero bytes.
  if (file.size() == 0)
    return Allocate(0);
  if (file.size() > SIZE_MAX)
    return std::nullopt;
  return MapFileBytes(file, static_cast<size_t>(file.size()));
}

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
