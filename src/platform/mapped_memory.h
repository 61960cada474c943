#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace nuv::platform {

class InputFile;

// Zero-filled memory taken from the system in whole pages rather than from
// the heap, so that a buffer of hundreds of megabytes costs page faults once
// and nothing else. From a few megabytes on it starts on a huge-page
// boundary and asks for huge pages, which cut those faults by a factor of
// 512 where the system offers them.
class MappedMemory {
 public:
  // At least one byte is mapped, so an empty buffer is a valid one too.
  // Nothing when the system has no such memory to give.
  static std::optional<MappedMemory> Allocate(size_t size);

  // The bytes of `file` as it holds them, straight from the system's file
  // cache: nothing is zeroed or copied, and a page is only brought in when
  // it is first read. Writes stay private to this memory. The bytes follow
  // the file while it is mapped, so this suits a short look at a file that
  // nobody changes meanwhile; one that is cut shorter under it ends the tool
  // with a message (mapped_file_guard.h). An empty file gives an empty
  // buffer, as Allocate(0).
  // Nothing when the file cannot be mapped.
  static std::optional<MappedMemory> MapFile(const InputFile& file);

  ~MappedMemory();
  MappedMemory(MappedMemory&& other) noexcept;
  MappedMemory& operator=(MappedMemory&& other) noexcept;
  MappedMemory(const MappedMemory&) = delete;
  MappedMemory& operator=(const MappedMemory&) = delete;

  std::span<uint8_t> bytes() const { return {data_, size_}; }

 private:
  MappedMemory(void* base, size_t mapped, uint8_t* data, size_t size)
      : base_(base), mapped_(mapped), data_(data), size_(size) {}
  // The system's mapping of `size` bytes of `file`, its whole length (at
  // least one byte).
  static std::optional<MappedMemory> MapFileBytes(const InputFile& file, size_t size);
  void Release();

  void* base_ = nullptr;  // the whole mapping, as the system gave it
  size_t mapped_ = 0;     // its length
  uint8_t* data_ = nullptr;
  size_t size_ = 0;
};

}  // namespace nuv::platform
