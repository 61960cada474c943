// nuv block save IMAGE NAME ID -o FILE and nuv block load IMAGE NAME ID FILE
// -o OUT: Block Save and Block Load of internal mode without windows. A
// loaded block is placed as Save New Flash places it, with no workbook.
#include <optional>
#include <string>
#include <vector>

#include "command.h"
#include "image/flash_image.h"
#include "image_loading.h"
#include "toolcfg/block_file.h"
#include "toolcfg/new_image.h"

namespace nuv::cli {
namespace {

int Save(std::span<const std::string> args);
int Load(std::span<const std::string> args);

const Command kSave = {
    "block save", "IMAGE NAME ID -o FILE",
    "writes block NAME with id ID (0x.. or decimal) of the new-format IMAGE, as the\n"
    "      image holds it, to FILE",
    "FILE", &Save};
const Command kLoad = {
    "block load", "IMAGE NAME ID FILE -o OUT",
    "replaces block NAME with id ID by the bytes of FILE and writes the new image as OUT,\n"
    "      laid out as Save New Flash lays it out",
    "OUT", &Load};

CommandRegistration register_save(kSave);
CommandRegistration register_load(kLoad);

struct BlockArgs {
  std::vector<std::string> operands;
  std::string output;
  uint8_t id = 0;
};

// The operands (`count` of them, the third an id) and -o; nullopt after
// the usage message.
std::optional<BlockArgs> ParseArgs(const Command& command, std::span<const std::string> args,
                                   size_t count, int& status) {
  BlockArgs parsed;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "-o") {
      if (i + 1 >= args.size() || args[i + 1].empty()) {
        status = UsageError(command, "-o needs a file");
        return std::nullopt;
      }
      parsed.output = args[++i];
    } else {
      parsed.operands.push_back(args[i]);
    }
  }
  unsigned long long id = 0;
  if (parsed.operands.size() != count || parsed.output.empty()) {
    status = UsageError(command, "wrong arguments");
    return std::nullopt;
  }
  if (!ParseUnsigned(parsed.operands[2], 0xFF, id)) {
    status = UsageError(command, "ID is a number from 0 to 0xff");
    return std::nullopt;
  }
  parsed.id = static_cast<uint8_t>(id);
  return parsed;
}

bool LoadImage(image::FlashImage& flash, const std::string& path, Messages& messages) {
  return LoadImageOfKind(flash, path, image::ImageKind::NewFormat,
                         "A legacy image has no block table to save from or load into.", messages);
}

int Save(std::span<const std::string> args) {
  int status = 1;
  const std::optional<BlockArgs> parsed = ParseArgs(kSave, args, 3, status);
  if (!parsed)
    return status;
  StderrMessages messages;
  image::FlashImage flash;
  if (!LoadImage(flash, parsed->operands[0], messages))
    return 1;
  return toolcfg::SaveBlockFile(flash, parsed->operands[1], parsed->id, parsed->output, messages)
             ? 0
             : 1;
}

int Load(std::span<const std::string> args) {
  int status = 1;
  const std::optional<BlockArgs> parsed = ParseArgs(kLoad, args, 4, status);
  if (!parsed)
    return status;
  StderrMessages messages;
  image::FlashImage flash;
  if (!LoadImage(flash, parsed->operands[0], messages))
    return 1;
  if (!toolcfg::LoadBlockFile(flash, parsed->operands[1], parsed->id, parsed->operands[3],
                              messages))
    return 1;
  const std::optional<std::vector<uint8_t>> out =
      toolcfg::LayOutNewImage(flash.table, flash.bytes(), flash.image_length, messages);
  return out && toolcfg::WriteNewFlash(parsed->output, *out, messages) ? 0 : 1;
}

}  // namespace
}  // namespace nuv::cli
