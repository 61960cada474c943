#pragma once

#include <string>
#include <vector>

#include "image/flash_image.h"
#include "image/grid_row.h"
#include "image/image_file.h"
#include "support/messages.h"

namespace nuv::image {

// What the form hands to Pre-Parse.
struct PreParseRequest {
  std::string source_path{};   // the chosen image file
  bool experts_only = false;   // the "Experts Only" check box, now
  bool internal_mode = false;  // the host setting Internal_tool_control
  ImageLoading loading = ImageLoading::kRead;
};

// What the form must show after Pre-Parse. On success the header values
// (sdram_size, flash_size, block_number, software_version), the expert flag
// and the script path are in the FlashImage, and the header, block and
// "Start Parsing" sections are shown, Pre-Parse and source Browse disabled.
// Refused: the message was shown and nothing else changes on the form.
enum class PreParseResult { kParsed, kRefused };
struct [[nodiscard]] PreParseOutcome {
  PreParseResult result = PreParseResult::kRefused;
  ImageKind kind = ImageKind::None;
  bool show_script_row = false;      // "Open Script File": label, edit, Browse
  bool show_export_section = false;  // "Export Configs": legacy images only
  std::vector<GridRow> rows{};       // grid rows 0.., one per block
};

// Loads the image at request.source_path into `image`, recognises its kind
// and fills the image's values and tables:
//  - new format (at least one DM header): the block table and its snapshot,
//    block number = block total, flash size = image length = file length;
//  - legacy: dmh_offset, config_length, sdram and flash size from the legacy
//    header, the legacy entry table, block number = its entry count.
// Both: expert flag = the check box; script path empty for experts, else the
// folder of the source path (ending with its separator) followed by the
// software version of each "ssdata" block in row order. The script row shows
// for experts, in internal mode only for a new-format image.
//
// Refused, with the message shown here: no path ("Please select source flash
// file first!"), a file that cannot be opened or read, no memory ("no
// memery!"), a length that is not a multiple of 512 KiB ("Wrong binary
// file!"), an empty file ("The flash file is empty!"), a damaged new-format
// header, and every legacy header problem (see ReadLegacyHeader). A refused
// file's buffer stays loaded until the next Pre-Parse or Release.
PreParseOutcome PreParse(FlashImage& image, const PreParseRequest& request, Messages& messages);

}  // namespace nuv::image
