#include "image_loading.h"

#include "exchange/open_new_format.h"

namespace nuv::cli {

bool LoadImageOfKind(image::FlashImage& flash, const std::string& path, image::ImageKind kind,
                     std::string_view refusal, Messages& messages) {
  const image::PreParseOutcome outcome = image::PreParse(flash, {path, false, false}, messages);
  if (outcome.result != image::PreParseResult::kParsed)
    return false;
  if (outcome.kind != kind) {
    messages.Show(BoxCaption::Error, refusal);
    return false;
  }
  return true;
}

bool LoadWithToolConfig(NewFormatImage& loaded, const std::string& path, std::string_view refusal,
                        Messages& messages) {
  return LoadImageOfKind(loaded.flash, path, image::ImageKind::NewFormat, refusal, messages) &&
         exchange::PrepareToolConfig(loaded.session.model, loaded.flash, {}, loaded.session.runner,
                                     messages) == exchange::PrepareResult::kParsed;
}

}  // namespace nuv::cli
