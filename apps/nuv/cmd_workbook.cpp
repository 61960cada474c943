// nuv workbook IMAGE [-o FILE] [--force]: the workbook export of the
// new-format flow without windows, for people who prepare workbooks in
// batch. The script the image carries is unpacked and parsed as Parse does
// it, and the workbook is written and saved as the export writes it;
// nothing is opened. An existing FILE is replaced only with --force: there
// is no one to ask, so the flag answers the spreadsheet application's
// question before it replaces a file.
#include <cstdio>
#include <filesystem>
#include <string>

#include "command.h"
#include "image/flash_image.h"
#include "image_loading.h"
#include "platform/errors.h"
#include "support/command_runner.h"
#include "toolcfg/prepare.h"
#include "toolcfg/tool_config.h"
#include "workbook/automation_registry.h"
#include "workbook/export_workbook.h"

namespace nuv::cli {
namespace {

int Workbook(std::span<const std::string> args);

const Command kWorkbook = {
    "workbook", "IMAGE [-o FILE] [--force]",
    "writes the workbook of a new-format image as Parse writes it (the preset table on\n"
    "      \"Program\", the tool-config sheets \"IR_FP_Key\", \"Sys_Config\" and \"File_Path\")\n"
    "      and saves it as FILE, by default preset.xls in the current directory; nothing is\n"
    "      opened; an existing FILE is replaced only with --force; exit 1 when the image has no\n"
    "      usable script or preset table, or FILE exists",
    "FILE", &Workbook};

CommandRegistration register_workbook(kWorkbook);

int Workbook(std::span<const std::string> args) {
  std::string image_path;
  std::string output;
  bool force = false;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--force") {
      force = true;
    } else if (args[i] == "-o") {
      if (i + 1 >= args.size() || args[i + 1].empty())
        return UsageError(kWorkbook, "-o needs a FILE");
      output = args[++i];
    } else if (!args[i].empty() && args[i][0] == '-') {
      return UsageError(kWorkbook, "unknown option " + args[i]);
    } else if (image_path.empty()) {
      image_path = args[i];
    } else {
      return UsageError(kWorkbook, "one IMAGE only");
    }
  }
  if (image_path.empty())
    return UsageError(kWorkbook, "IMAGE is missing");

  StderrMessages messages;
  // Refused before any work is done; the spreadsheet application's own
  // question is answered by the flag as well.
  const std::filesystem::path file =
      workbook::NativeFilePath(output.empty() ? workbook::DefaultWorkbookPath() : output);
  std::error_code unreadable;
  if (!force && std::filesystem::exists(file, unreadable)) {
    messages.Show(BoxCaption::Error, file.string() + " exists already; use --force to replace it.");
    return 1;
  }
  workbook::SetServerQuestion([force](std::string_view) { return force; });
  try {
    image::FlashImage flash;
    if (!LoadImageOfKind(flash, image_path, image::ImageKind::NewFormat,
                         "A legacy image has no workbook: it carries no tool-config script.",
                         messages))
      return 1;
    CommandRunner runner;
    toolcfg::ToolConfig model;
    if (toolcfg::PrepareToolConfig(model, flash, {}, runner, messages) !=
        toolcfg::PrepareResult::kParsed)
      return 1;
    workbook::WorkbookExchange exchange{model, flash.table, runner, messages};
    std::string saved;
    if (workbook::ExportWorkbook(exchange, saved, {output, false}) != 1) {
      messages.Show(BoxCaption::Application, "Wrong binary file, can not create xls!");
      return 1;
    }
    std::printf("%s\n", workbook::NativeFilePath(saved).c_str());
  } catch (const CommandError& error) {
    messages.Show(BoxCaption::Application, error.what());
    return 1;
  }
  return 0;
}

}  // namespace
}  // namespace nuv::cli
