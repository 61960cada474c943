#include "image/image_file.h"

#include "platform/input_file.h"

namespace nuv::image {

bool LoadImageFile(FlashImage& image, const std::string& path, Messages& messages,
                   ImageLoading loading) {
  std::optional<platform::InputFile> file = platform::InputFile::Open(path);
  if (!file) {
    messages.Show(BoxCaption::Error, "Failed to open the flash file!");
    return false;
  }
  if (file->size() > kMaxImageLength) {
    messages.Show(BoxCaption::Error, kTooLargeText);
    return false;
  }
  image.Release();
  std::shared_ptr<ImageBuffer> buffer =
      loading == ImageLoading::kMap ? ImageBuffer::MapFile(*file)
                                    : ImageBuffer::Allocate(static_cast<size_t>(file->size()));
  if (!buffer) {
    messages.Show(BoxCaption::Error, "no memery!");
    return false;
  }
  image.image = buffer;
  if (loading == ImageLoading::kMap)
    return true;
  const std::optional<size_t> done = file->ReadInto(buffer->bytes());
  if (!done) {
    messages.Show(BoxCaption::Error, "Failed to read the flash file!");
    return false;
  }
  buffer->ShrinkTo(*done);
  return true;
}

}  // namespace nuv::image
