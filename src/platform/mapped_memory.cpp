#include "platform/mapped_memory.h"

#include <sys/mman.h>

#include <cstdint>

#include "platform/input_file.h"
#include "platform/mapped_file_guard.h"

namespace nuv::platform {
namespace {

// Below this size a plain mapping is as good as any.
constexpr size_t kHugePageAdviceFrom = 4u << 20;

// A huge page can only back a whole, aligned 2 MiB of the mapping, so large
// buffers start on such a boundary; otherwise the first and last partial
// huge page would fall back to small pages.
constexpr size_t kHugePageSize = 2u << 20;

}  // namespace

std::optional<MappedMemory> MappedMemory::Allocate(size_t size) {
  const bool huge = size >= kHugePageAdviceFrom;
  const size_t slack = huge ? kHugePageSize : 0;
  const size_t wanted = size == 0 ? 1 : size;
  if (wanted > SIZE_MAX - slack)
    return std::nullopt;
  const size_t mapped = wanted + slack;
  void* memory = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (memory == MAP_FAILED)
    return std::nullopt;
  const uintptr_t start = reinterpret_cast<uintptr_t>(memory);
  const uintptr_t aligned =
      huge ? (start + kHugePageSize - 1) & ~(uintptr_t{kHugePageSize} - 1) : start;
  uint8_t* data = static_cast<uint8_t*>(memory) + (aligned - start);
#ifdef MADV_HUGEPAGE
  if (huge)
    madvise(data, wanted, MADV_HUGEPAGE);
#endif
  return MappedMemory(memory, mapped, data, size);
}

std::optional<MappedMemory> MappedMemory::MapFileBytes(const InputFile& file, size_t size) {
  void* memory =
      mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE, static_cast<int>(file.fd_.get()), 0);
  if (memory == MAP_FAILED)
    return std::nullopt;
  WatchMappedFile(memory, size, file.path().string());
  return MappedMemory(memory, size, static_cast<uint8_t*>(memory), size);
}

void MappedMemory::Release() {
  if (base_ == nullptr)
    return;
  ForgetMappedFile(base_);
  munmap(base_, mapped_);
  base_ = nullptr;
}

}  // namespace nuv::platform
