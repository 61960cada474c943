#include "image/pre_parse.h"

#include <optional>

#include "image/header_scan.h"
#include "image/image_file.h"
#include "image/legacy_header.h"
#include "platform/paths.h"

namespace nuv::image {
namespace {

void SetExpertFlagAndScriptPath(FlashImage& image, const PreParseRequest& request) {
  image.expert = request.experts_only;
  image.script_path =
      request.experts_only ? std::string() : platform::FolderWithSeparator(request.source_path);
}

// One grid row per entry; an "ssdata" block's version text becomes the
// software version and, for non-experts, is appended to the script path.
void AddRow(FlashImage& image, PreParseOutcome& outcome, const BlockEntry& entry,
            uint64_t data_pos) {
  outcome.rows.push_back(MakeGridRow(entry));
  if (!IsSoftwareVersionBlock(entry))
    return;
  image.software_version = SoftwareVersionAt(image.bytes(), data_pos);
  if (!image.expert)
    image.script_path += image.software_version;
}

void FinishNewFormat(FlashImage& image, const PreParseRequest& request, PreParseOutcome& outcome) {
  const auto length = static_cast<uint32_t>(image.bytes().size());
  image.block_number = image.table.total();
  image.kind = ImageKind::NewFormat;
  image.flash_size = length;
  image.image_length = length;
  SetExpertFlagAndScriptPath(image, request);
  for (const BlockRecord& record : image.table.records)
    AddRow(image, outcome, record.entry, uint64_t{record.header_offset} + record.entry.offset());
  outcome.kind = ImageKind::NewFormat;
  outcome.show_script_row = image.expert && request.internal_mode;
}

PreParseResult FinishLegacy(FlashImage& image, const PreParseRequest& request,
                            PreParseOutcome& outcome, Messages& messages) {
  image.kind = ImageKind::Legacy;
  std::optional<LegacyHeader> header = ReadLegacyHeader(image.bytes(), messages);
  if (!header)
    return PreParseResult::kRefused;
  image.dmh_offset = header->dmh_offset;
  image.config_length = header->config_length;
  image.sdram_size = header->sdram_size;
  image.flash_size = header->flash_size;
  SetExpertFlagAndScriptPath(image, request);
  image.legacy_entries = std::move(header->entries);
  image.block_number = static_cast<uint32_t>(image.legacy_entries.size());
  for (const BlockEntry& entry : image.legacy_entries)
    AddRow(image, outcome, entry, entry.offset());
  outcome.kind = ImageKind::Legacy;
  outcome.show_script_row = image.expert;
  outcome.show_export_section = true;
  return PreParseResult::kParsed;
}

}  // namespace

PreParseOutcome PreParse(FlashImage& image, const PreParseRequest& request, Messages& messages) {
  PreParseOutcome outcome;
  if (request.source_path.empty()) {
    messages.Show(BoxCaption::Error, "Please select source flash file first!");
    return outcome;
  }
  if (LoadImageFile(image, request.source_path, messages, request.loading) != LoadResult::kLoaded)
    return outcome;
  const size_t length = image.bytes().size();
  if (length % kImageLengthUnit != 0) {
    messages.Show(BoxCaption::Error, "Wrong binary file!");
    return outcome;
  }
  if (length == 0) {
    messages.Show(BoxCaption::Error, "The flash file is empty!");
    return outcome;
  }
  const ScanResult scanned = ScanDmHeaders(image, messages);
  if (scanned == ScanResult::kScanned) {
    FinishNewFormat(image, request, outcome);
  } else if (Refused(scanned) ||
             FinishLegacy(image, request, outcome, messages) != PreParseResult::kParsed) {
    outcome.rows.clear();
    return outcome;
  }
  outcome.result = PreParseResult::kParsed;
  return outcome;
}

}  // namespace nuv::image
