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
#include "image/flash_image.h"
#include "image_loading.h"
#include "platform/errors.h"
#include "support/command_runner.h"
#include "toolcfg/new_image.h"
#include "toolcfg/prepare.h"
#include "toolcfg/tool_config.h"
#include "workbook/import_workbook.h"

namespace nuv::cli {
namespace {

int Build(std::span<const std::string> args);

const Command kBuild = {
    "build", "IMAGE WORKBOOK -o OUT",
    "imports the edited WORKBOOK into the blocks of the new-format IMAGE and writes the\n"
    "      new image as OUT, as Save New Flash does (CRCs, 64 KiB alignment, blocks pushed\n"
    "      behind grown ones, bank headers rebuilt); exit 1 on any failure, OUT unchanged",
    "OUT", &Build};

CommandRegistration register_build(kBuild);

int Build(std::span<const std::string> args) {
  std::vector<std::string> operands;
  std::string output;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "-o") {
      if (i + 1 >= args.size() || args[i + 1].empty())
        return UsageError(kBuild, "-o needs a file");
      output = args[++i];
    } else if (!args[i].empty() && args[i][0] == '-') {
      return UsageError(kBuild, "unknown option " + args[i]);
    } else {
      operands.push_back(args[i]);
    }
  }
  if (operands.size() != 2)
    return UsageError(kBuild, "IMAGE and WORKBOOK are needed");
  if (output.empty())
    return UsageError(kBuild, "-o OUT is missing");

  StderrMessages messages;
  try {
    image::FlashImage flash;
    if (!LoadImageOfKind(flash, operands[0], image::ImageKind::NewFormat,
                         "A legacy image is not built from a workbook.", messages))
      return 1;
    CommandRunner runner;
    toolcfg::ToolConfig model;
    if (toolcfg::PrepareToolConfig(model, flash, {}, runner, messages) !=
        toolcfg::PrepareResult::kParsed)
      return 1;
    std::error_code error;
    if (!std::filesystem::is_regular_file(operands[1], error)) {
      messages.Show(BoxCaption::Application, "error open excel  file ");
      return 1;
    }
    workbook::WorkbookExchange exchange{model, flash.table, runner, messages};
    if (workbook::ImportWorkbook(exchange, operands[1]) != workbook::kImportOk) {
      messages.Show(BoxCaption::Application, "xls file error,can not create new flash");
      return 1;
    }
    const std::optional<std::vector<uint8_t>> out =
        toolcfg::LayOutNewImage(flash.table, flash.bytes(), flash.image_length, messages);
    if (!out || !toolcfg::WriteNewFlash(output, *out, messages))
      return 1;
  } catch (const CommandError& error) {
    messages.Show(BoxCaption::Application, error.what());
    return 1;
  }
  return 0;
}

}  // namespace
}  // namespace nuv::cli
