#include "heap_peak.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace nuv::bench {
namespace {

std::atomic<std::size_t> live{0};
std::atomic<std::size_t> peak{0};

void* Counted(void* block) {
  if (!block)
    throw std::bad_alloc();
  const std::size_t now = live.fetch_add(malloc_usable_size(block)) + malloc_usable_size(block);
  std::size_t seen = peak.load();
  while (now > seen && !peak.compare_exchange_weak(seen, now)) {
  }
  return block;
}

void Release(void* block) {
  if (!block)
    return;
  live.fetch_sub(malloc_usable_size(block));
  std::free(block);
}

void* Aligned(std::size_t size, std::align_val_t alignment) {
  const auto align = static_cast<std::size_t>(alignment);
  return std::aligned_alloc(align, (size + align - 1) / align * align);
}

}  // namespace

std::size_t HeapLive() {
  return live.load();
}

std::size_t HeapPeak() {
  return peak.load();
}

void ResetHeapPeak() {
  peak.store(live.load());
}

}  // namespace nuv::bench

using nuv::bench::Aligned;
using nuv::bench::Counted;
using nuv::bench::Release;

void* operator new(std::size_t size) {
  return Counted(std::malloc(size ? size : 1));
}
void* operator new[](std::size_t size) {
  return Counted(std::malloc(size ? size : 1));
}
void* operator new(std::size_t size, std::align_val_t alignment) {
  return Counted(Aligned(size ? size : 1, alignment));
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
  return Counted(Aligned(size ? size : 1, alignment));
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return Counted(std::malloc(size ? size : 1));
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
  return operator new(size, tag);
}
void operator delete(void* block) noexcept {
  Release(block);
}
void operator delete[](void* block) noexcept {
  Release(block);
}
void operator delete(void* block, std::size_t) noexcept {
  Release(block);
}
void operator delete[](void* block, std::size_t) noexcept {
  Release(block);
}
void operator delete(void* block, std::align_val_t) noexcept {
  Release(block);
}
void operator delete[](void* block, std::align_val_t) noexcept {
  Release(block);
}
void operator delete(void* block, std::size_t, std::align_val_t) noexcept {
  Release(block);
}
void operator delete[](void* block, std::size_t, std::align_val_t) noexcept {
  Release(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept {
  Release(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept {
  Release(block);
}
