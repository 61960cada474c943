// nuv build IMAGE WORKBOOK -o OUT: Save New Flash without windows. The
// image's own script is unpacked and parsed as Parse does it, the edited
// workbook is imported into the blocks, and the new image is laid out and
// written as OUT. The workbook is left where it is.
#include <string>

#include "command.h"
#include "exchange/save_new_flash.h"
#include "image_loading.h"

namespace nuv::cli {
namespace {

Outcome Build(const Arguments& args, Messages& messages);

const Command kBuild = {
    .name = "build",
    .usage = "IMAGE WORKBOOK -o OUT",
    .summary =
        "imports the edited WORKBOOK into the blocks of the new-format IMAGE and writes the\n"
        "      new image as OUT, as Save New Flash does (CRCs, 64 KiB alignment, blocks pushed\n"
        "      behind grown ones, bank headers rebuilt); exit 1 on any failure, OUT unchanged",
    .modifies = "OUT",
    .operands = {"IMAGE", "WORKBOOK"},
    .options = {{"-o", "OUT", "the new image", true}},
    .run = &Build};

CommandRegistration register_build(kBuild);

Outcome Build(const Arguments& args, Messages& messages) {
  NewFormatImage image;
  if (LoadWithToolConfig(image, args.operands[0], "A legacy image is not built from a workbook.",
                         messages) != LoadResult::kLoaded)
    return Outcome::Failed();
  // The workbook is the user's own: it stays where it is.
  const exchange::SaveNewFlashRequest request{args.Value("-o"), args.operands[1], false};
  return Outcome::Of(exchange::SaveNewFlash(image.flash, image.session, request, messages) ==
                     exchange::SaveNewFlashResult::kWritten);
}

}  // namespace
}  // namespace nuv::cli
