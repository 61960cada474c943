#include "image/image_file.h"

#include "platform/input_file.h"

namespace nuv::image {

LoadResult LoadImageFile(FlashImage& image, const std::string& path, Messages& messages,
                         ImageLoading loading) {
  platform::Result<platform::InputFile> opened = platform::InputFile::Open(path);
  if (!opened.ok()) {
    messages.Show(BoxCaption::Error, "Failed to open the flash file!");
    return LoadResult::kNotLoaded;
  }
  platform::InputFile& file = opened.value();
  if (file.size() > kMaxImageLength) {
    messages.Show(BoxCaption::Error, kTooLargeText);
    return LoadResult::kNotLoaded;
  }
  image.Release();
  if (loading == ImageLoading::kMap) {
    // A file system that cannot map files (some network or user-space
    // ones) still lets the file be read.
    image.image = ImageBuffer::MapFile(file);
    if (image.image)
      return LoadResult::kLoaded;
  }
  std::shared_ptr<ImageBuffer> buffer = ImageBuffer::Allocate(static_cast<size_t>(file.size()));
  if (!buffer) {
    messages.Show(BoxCaption::Error, "no memery!");
    return LoadResult::kNotLoaded;
  }
  image.image = buffer;
  const std::optional<size_t> done = file.ReadInto(buffer->bytes());
  if (!done) {
    messages.Show(BoxCaption::Error, "Failed to read the flash file!");
    return LoadResult::kNotLoaded;
  }
  buffer->ShrinkTo(*done);
  return LoadResult::kLoaded;
}

}  // namespace nuv::image
