#include "image/image_buffer.h"

#include <sys/mman.h>

#include <cstdint>
#include <new>

namespace nuv::image {
namespace {

// Below this size a plain mapping is as good as any; above it the kernel is
// asked for transparent huge pages, which cut the page faults of reading a
// large image into fresh memory by a factor of 512.
constexpr size_t kHugePageAdviceFrom = 4u << 20;

// A huge page can only back a whole, aligned 2 MiB of the mapping, so large
// buffers start on such a boundary; otherwise the first and last partial
// huge page of the image would fall back to small pages.
constexpr size_t kHugePageSize = 2u << 20;

}  // namespace

std::shared_ptr<ImageBuffer> ImageBuffer::Allocate(size_t size) {
  const bool huge = size >= kHugePageAdviceFrom;
  const size_t slack = huge ? kHugePageSize : 0;
  // An empty image still gets a valid (empty) buffer object.
  const size_t wanted = size == 0 ? 1 : size;
  if (wanted > SIZE_MAX - slack)
    return nullptr;
  const size_t mapped = wanted + slack;
  void* memory = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (memory == MAP_FAILED)
    return nullptr;
  const uintptr_t start = reinterpret_cast<uintptr_t>(memory);
  const uintptr_t aligned =
      huge ? (start + kHugePageSize - 1) & ~(uintptr_t{kHugePageSize} - 1) : start;
  uint8_t* data = static_cast<uint8_t*>(memory) + (aligned - start);
#ifdef MADV_HUGEPAGE
  if (huge)
    madvise(data, wanted, MADV_HUGEPAGE);
#endif
  std::unique_ptr<ImageBuffer> buffer(new (std::nothrow) ImageBuffer(memory, mapped, data, size));
  if (!buffer) {
    munmap(memory, mapped);
    return nullptr;
  }
  return std::shared_ptr<ImageBuffer>(std::move(buffer));
}

ImageBuffer::~ImageBuffer() {
  munmap(base_, mapped_);
}

BlockData BlockData::Share(std::shared_ptr<const ImageBuffer> image, size_t offset, size_t length) {
  BlockData data;
  if (!image || offset > image->size() || length > image->size() - offset)
    return data;
  data.shared_ = std::move(image);
  data.offset_ = offset;
  data.length_ = length;
  return data;
}

std::span<const uint8_t> BlockData::bytes() const {
  if (owned_ || !shared_)
    return own_;
  return shared_->bytes().subspan(offset_, length_);
}

std::span<uint8_t> BlockData::mutable_bytes() {
  if (!owned_) {
    std::span<const uint8_t> view = bytes();
    own_.assign(view.begin(), view.end());
    shared_.reset();
    owned_ = true;
  }
  return own_;
}

void BlockData::Replace(std::vector<uint8_t> bytes) {
  own_ = std::move(bytes);
  shared_.reset();
  owned_ = true;
}

}  // namespace nuv::image
