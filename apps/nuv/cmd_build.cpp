// nuv build IMAGE WORKBOOK -o OUT: Save New Flash without windows. The
// image's own script is unpacked and parsed as Parse does it, the edited
// workbook is imported into the blocks, and the new image is laid out and
// written as OUT. The workbook is left where it is.
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "command.h"
#include "exchange/import_workbook.h"
#include "image_loading.h"
#include "toolcfg/new_image.h"

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
  const std::string& workbook_path = args.operands[1];
  NewFormatImage image;
  if (!LoadWithToolConfig(image, args.operands[0], "A legacy image is not built from a workbook.",
                          messages))
    return Outcome::Failed();
  std::error_code error;
  if (!std::filesystem::is_regular_file(workbook_path, error)) {
    messages.Show(BoxCaption::Application, "error open excel  file ");
    return Outcome::Failed();
  }
  exchange::WorkbookExchange work{image.model, image.flash.table, image.runner, messages};
  if (exchange::ImportWorkbook(work, workbook_path) != exchange::ImportResult::kImported) {
    messages.Show(BoxCaption::Application, "xls file error,can not create new flash");
    return Outcome::Failed();
  }
  return Outcome::Of(toolcfg::WriteNewImage(image.flash, args.Value("-o"), messages) ==
                     toolcfg::NewImageResult::kWritten);
}

}  // namespace
}  // namespace nuv::cli
