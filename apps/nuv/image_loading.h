#pragma once

#include <string>
#include <string_view>

#include "exchange/exchange.h"
#include "image/flash_image.h"
#include "image/pre_parse.h"
#include "support/messages.h"

namespace nuv::cli {

// Pre-parses the image at PATH as the Pre-Parse button does, for a command
// that works on one kind of image only; kRefused after a message:
// Pre-Parse's own, or REFUSAL when the image is of the other kind.
enum class LoadResult { kLoaded, kRefused };
[[nodiscard]] LoadResult LoadImageOfKind(image::FlashImage& flash, const std::string& path,
                                         image::ImageKind kind, std::string_view refusal,
                                         Messages& messages);

// A new-format image with the tool-config script it carries, unpacked and
// parsed as Parse does it into the session: what nuv build starts from.
struct NewFormatImage {
  image::FlashImage flash;
  exchange::NewFormatSession session;
};

// LoadImageOfKind for a new-format image, then its script; kRefused after
// a message.
[[nodiscard]] LoadResult LoadWithToolConfig(NewFormatImage& loaded, const std::string& path,
                                            std::string_view refusal, Messages& messages);

}  // namespace nuv::cli
