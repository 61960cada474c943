#include "image/config_export.h"

#include "image/legacy_header.h"
#include "platform/output_file.h"

namespace nuv::image {

ExportRegionResult ExportConfigRegion(const FlashImage& image, const std::string& output_path,
                                      Messages& messages) {
  if (output_path.empty()) {
    messages.Show(BoxCaption::Error, "Please select a file to be exported!");
    return ExportRegionResult::kNotExported;
  }
  const std::optional<std::span<const uint8_t>> region =
      LegacyConfigRegion(image.bytes(), image.config_length);
  if (!region) {
    messages.Show(BoxCaption::Error, "The configuration region lies outside the image!");
    return ExportRegionResult::kNotExported;
  }
  const platform::WriteResult written = platform::WriteFileReplacing(output_path, *region);
  if (!written.ok()) {
    messages.Show(BoxCaption::Error, written.failure().kind == platform::WriteError::kRefused
                                         ? written.error()
                                         : "Failed to write the output file!");
    return ExportRegionResult::kNotExported;
  }
  return ExportRegionResult::kExported;
}

}  // namespace nuv::image
