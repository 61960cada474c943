#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "platform/mapped_memory.h"

namespace nuv::image {

// The bytes of one loaded image file in a single large allocation (see
// MappedMemory), so that reading a big image costs page faults once and
// copies nothing. Shared by the block records that still hold unchanged
// block data (see BlockData).
class ImageBuffer {
 public:
  // A zero-filled buffer of `size` bytes, or null when it cannot be had.
  static std::shared_ptr<ImageBuffer> Allocate(size_t size);
  // The bytes of `file` mapped as they lie in the system's file cache (see
  // MappedMemory::MapFile), or null when it cannot be mapped.
  static std::shared_ptr<ImageBuffer> MapFile(const platform::InputFile& file);

  ImageBuffer(const ImageBuffer&) = delete;
  ImageBuffer& operator=(const ImageBuffer&) = delete;

  std::span<uint8_t> bytes() { return memory_.bytes().first(size_); }
  std::span<const uint8_t> bytes() const { return memory_.bytes().first(size_); }
  size_t size() const { return size_; }

  // Makes the buffer end after `size` bytes (when a file turned out shorter
  // than it said); a larger size changes nothing. The memory stays mapped
  // until the buffer goes.
  void ShrinkTo(size_t size) {
    if (size < size_)
      size_ = size;
  }

 private:
  static std::shared_ptr<ImageBuffer> Hold(std::optional<platform::MappedMemory> memory);
  explicit ImageBuffer(platform::MappedMemory memory)
      : memory_(std::move(memory)), size_(memory_.bytes().size()) {}

  platform::MappedMemory memory_;
  size_t size_;
};

// The data of one block. It shares the loaded image's bytes until it is
// changed, and behaves in every respect as its own copy: changing it never
// changes the image or another record, and changing the image (which only
// the legacy flow does, and never while records share it) is refused by
// FlashImage while records share it.
class BlockData {
 public:
  BlockData() = default;
  explicit BlockData(std::vector<uint8_t> own) : own_(std::move(own)), owned_(true) {}
  static BlockData Share(std::shared_ptr<const ImageBuffer> image, size_t offset, size_t length);

  std::span<const uint8_t> bytes() const;
  size_t size() const { return bytes().size(); }
  // Detaches from the image first, so the caller may write.
  std::span<uint8_t> mutable_bytes();
  void Replace(std::vector<uint8_t> bytes);
  bool shares_image() const { return !owned_ && shared_ != nullptr; }

 private:
  std::shared_ptr<const ImageBuffer> shared_;
  size_t offset_ = 0;
  size_t length_ = 0;
  std::vector<uint8_t> own_;
  bool owned_ = false;
};

}  // namespace nuv::image
