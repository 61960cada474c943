#include "image_loading.h"

#include "exchange/open_new_format.h"

namespace nuv::cli {

LoadResult LoadImageOfKind(image::FlashImage& flash, const std::string& path, image::ImageKind kind,
                           std::string_view refusal, Messages& messages) {
  const image::PreParseOutcome outcome = image::PreParse(flash, {path, false, false}, messages);
  if (outcome.result != image::PreParseResult::kParsed)
    return LoadResult::kRefused;
  if (outcome.kind != kind) {
    messages.Show(BoxCaption::Error, refusal);
    return LoadResult::kRefused;
  }
  return LoadResult::kLoaded;
}

LoadResult LoadWithToolConfig(NewFormatImage& loaded, const std::string& path,
                              std::string_view refusal, Messages& messages) {
  if (LoadImageOfKind(loaded.flash, path, image::ImageKind::NewFormat, refusal, messages) !=
      LoadResult::kLoaded)
    return LoadResult::kRefused;
  return exchange::PrepareToolConfig(loaded.session.model, loaded.flash, {}, loaded.session.runner,
                                     messages) == exchange::PrepareResult::kParsed
             ? LoadResult::kLoaded
             : LoadResult::kRefused;
}

}  // namespace nuv::cli
