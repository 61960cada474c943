#include "image_loading.h"

namespace nuv::cli {

bool LoadImageOfKind(image::FlashImage& flash, const std::string& path, image::ImageKind kind,
                     std::string_view refusal, Messages& messages) {
  const image::PreParseOutcome outcome = image::PreParse(flash, {path, false, false}, messages);
  if (!outcome.ok)
    return false;
  if (outcome.kind != kind) {
    messages.Show(BoxCaption::Error, refusal);
    return false;
  }
  return true;
}

}  // namespace nuv::cli
