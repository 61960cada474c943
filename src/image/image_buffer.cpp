#include "image/image_buffer.h"

#include <new>

#include "platform/input_file.h"

namespace nuv::image {

std::shared_ptr<ImageBuffer> ImageBuffer::Allocate(size_t size) {
  return Hold(platform::MappedMemory::Allocate(size));
}

std::shared_ptr<ImageBuffer> ImageBuffer::MapFile(const platform::InputFile& file) {
  return Hold(platform::MappedMemory::MapFile(file));
}

std::shared_ptr<ImageBuffer> ImageBuffer::Hold(std::optional<platform::MappedMemory> memory) {
  if (!memory)
    return nullptr;
  std::unique_ptr<ImageBuffer> buffer(new (std::nothrow) ImageBuffer(std::move(*memory)));
  if (!buffer)
    return nullptr;
  return std::shared_ptr<ImageBuffer>(std::move(buffer));
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
