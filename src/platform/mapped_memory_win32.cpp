#include <windows.h>

#include <cstdint>

#include "platform/input_file.h"
#include "platform/mapped_memory.h"

namespace nuv::platform {

// A view of a mapping backed by the paging file: zero-filled, whole pages.
std::optional<MappedMemory> MappedMemory::Allocate(size_t size) {
  const uint64_t wanted = size == 0 ? 1 : size;
  HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE,
                                      static_cast<DWORD>(wanted >> 32),
                                      static_cast<DWORD>(wanted & 0xFFFFFFFFu), nullptr);
  if (mapping == nullptr)
    return std::nullopt;
  void* view = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, static_cast<SIZE_T>(wanted));
  // The view keeps the mapping alive.
  CloseHandle(mapping);
  if (view == nullptr)
    return std::nullopt;
  return MappedMemory(view, static_cast<size_t>(wanted), static_cast<uint8_t*>(view), size);
}

// A copy-on-write view of the file: writes stay in this memory.
std::optional<MappedMemory> MappedMemory::MapFileBytes(const InputFile& file, size_t size) {
  HANDLE mapping = CreateFileMappingW(reinterpret_cast<HANDLE>(file.fd_.get()), nullptr,
                                      PAGE_WRITECOPY, 0, 0, nullptr);
  if (mapping == nullptr)
    return std::nullopt;
  void* view = MapViewOfFile(mapping, FILE_MAP_COPY, 0, 0, size);
  CloseHandle(mapping);
  if (view == nullptr)
    return std::nullopt;
  return MappedMemory(view, size, static_cast<uint8_t*>(view), size);
}

void MappedMemory::Release() {
  if (base_ != nullptr)
    UnmapViewOfFile(base_);
  base_ = nullptr;
}

}  // namespace nuv::platform
