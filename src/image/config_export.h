#pragma once

#include <string>

#include "image/flash_image.h"
#include "support/messages.h"

namespace nuv::image {

// Export of a legacy image's configuration region: config_length bytes
// (read by Pre-Parse) from config_offset (the word at image offset 28, read
// now) become the whole output file, written beside it first and renamed
// into place, so a failure leaves an existing file as it was. kExported, or
// kNotExported after showing "Please select a file to be exported!" (empty path), "The
// configuration region lies outside the image!", why a target that is no
// file (a folder, a pipe, a device) is refused, or "Failed to write the
// output file!".
enum class ExportRegionResult { kExported, kNotExported };
[[nodiscard]] ExportRegionResult ExportConfigRegion(const FlashImage& image,
                                                    const std::string& output_path,
                                                    Messages& messages);

}  // namespace nuv::image
