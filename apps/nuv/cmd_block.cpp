// nuv block save IMAGE NAME ID -o FILE and nuv block load IMAGE NAME ID FILE
// -o OUT: Block Save and Block Load of internal mode without windows. A
// loaded block is placed as Save New Flash places it, with no workbook.
#include <optional>
#include <string>
#include <vector>

#include "command.h"
#include "common/numbers.h"
#include "image/flash_image.h"
#include "image_loading.h"
#include "toolcfg/block_file.h"
#include "toolcfg/new_image.h"

namespace nuv::cli {
namespace {

Outcome Save(const Arguments& args, Messages& messages);
Outcome Load(const Arguments& args, Messages& messages);

const Command kSave = {
    .name = "block save",
    .usage = "IMAGE NAME ID -o FILE",
    .summary =
        "writes block NAME with id ID (0x.. or decimal) of the new-format IMAGE, as the\n"
        "      image holds it, to FILE",
    .modifies = "FILE",
    .operands = {"IMAGE", "NAME", "ID"},
    .options = {{"-o", "FILE", "the block file to write", true}},
    .run = &Save};
const Command kLoad = {
    .name = "block load",
    .usage = "IMAGE NAME ID FILE -o OUT",
    .summary =
        "replaces block NAME with id ID by the bytes of FILE and writes the new image as\n"
        "      OUT, laid out as Save New Flash lays it out",
    .modifies = "OUT",
    .operands = {"IMAGE", "NAME", "ID", "FILE"},
    .options = {{"-o", "OUT", "the new image", true}},
    .run = &Load};

CommandRegistration register_save(kSave);
CommandRegistration register_load(kLoad);

// The ID operand; nullopt unless it is a number that fits a block id.
std::optional<uint8_t> BlockId(const Arguments& args) {
  return common::ParseStrictNumber<uint8_t>(args.operands[2]);
}

// The image named by the first operand; kRefused after a message.
LoadResult LoadImage(image::FlashImage& flash, const Arguments& args, Messages& messages) {
  return LoadImageOfKind(flash, args.operands[0], image::ImageKind::NewFormat,
                         "A legacy image has no block table to save from or load into.", messages);
}

Outcome Save(const Arguments& args, Messages& messages) {
  const std::optional<uint8_t> id = BlockId(args);
  if (!id)
    return Outcome::Usage("ID is a number from 0 to 0xff");
  image::FlashImage flash;
  return Outcome::Of(LoadImage(flash, args, messages) == LoadResult::kLoaded &&
                     toolcfg::SaveBlockFile(flash, args.operands[1], *id, args.Value("-o"),
                                            messages) == toolcfg::BlockFileResult::kDone);
}

Outcome Load(const Arguments& args, Messages& messages) {
  const std::optional<uint8_t> id = BlockId(args);
  if (!id)
    return Outcome::Usage("ID is a number from 0 to 0xff");
  image::FlashImage flash;
  if (LoadImage(flash, args, messages) != LoadResult::kLoaded ||
      toolcfg::LoadBlockFile(flash, args.operands[1], *id, args.operands[3], messages) !=
          toolcfg::BlockFileResult::kDone)
    return Outcome::Failed();
  return Outcome::Of(toolcfg::WriteNewImage(flash, args.Value("-o"), messages) ==
                     toolcfg::NewImageResult::kWritten);
}

}  // namespace
}  // namespace nuv::cli
