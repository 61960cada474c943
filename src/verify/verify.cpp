#include "verify/verify.h"

#include "image/flash_image.h"
#include "image/image_layout.h"
#include "support/batch_runner.h"
#include "verify/checks.h"

namespace nuv::verify {

VerifyOutcome VerifyImage(const VerifyRequest& request, Messages& messages) {
  VerifyOutcome outcome;
  image::FlashImage flash;
  const image::PreParseOutcome loaded = image::PreParse(
      flash, {.source_path = request.image_path, .loading = image::ImageLoading::kMap}, messages);
  if (loaded.result != image::PreParseResult::kParsed) {
    outcome.result = VerifyResult::kRefused;
    return outcome;
  }
  outcome.kind = loaded.kind;
  std::vector<Finding>& out = outcome.findings;
  const image::ImageLayout layout = image::LayoutOf(flash);
  CheckBlockData(flash.bytes(), layout, out);
  BatchCommandRunner runner;
  if (loaded.kind == image::ImageKind::Legacy) {
    const std::optional<Area> config_area = CheckConfigArea(flash, out);
    CheckOverlaps(layout, config_area, out);
    CheckBankHeaders(flash.bytes(), layout, loaded.kind, out);
    CheckTailEntries(flash, out);
    CheckSoftwareVersion(flash, out);
    if (!request.script_path.empty())
      flash.script_path = request.script_path;
    CheckLegacyScript(flash, !request.script_path.empty(), config_area, out);
  } else {
    CheckOverlaps(layout, std::nullopt, out);
    CheckAlignment(layout, out);
    CheckBankHeaders(flash.bytes(), layout, loaded.kind, out);
    CheckToolConfig(flash, runner, out);
    CheckPresetTable(flash, runner, out);
  }
  return outcome;
}

}  // namespace nuv::verify
