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
#include "exchange/open_new_format.h"
#include "image_loading.h"
#include "platform/paths.h"
#include "workbook/automation_registry.h"

namespace nuv::cli {
namespace {

Outcome Workbook(const Arguments& args, Messages& messages);

const Command kWorkbook = {
    .name = "workbook",
    .usage = "IMAGE [-o FILE] [--force]",
    .summary =
        "writes the workbook of a new-format image as Parse writes it (the preset table on\n"
        "      \"Program\", the tool-config sheets \"IR_FP_Key\", \"Sys_Config\" and "
        "\"File_Path\")\n"
        "      and saves it; nothing is opened; exit 1 when the image has no usable script or\n"
        "      preset table, or FILE exists",
    .modifies = "FILE",
    .operands = {"IMAGE"},
    .options = {{"-o", "FILE", "saves it as FILE, by default preset.xls in the current directory"},
                {"--force", "", "replaces FILE when it exists"}},
    .run = &Workbook};

CommandRegistration register_workbook(kWorkbook);

Outcome Workbook(const Arguments& args, Messages& messages) {
  const std::string output = args.Value("-o");
  const bool force = args.Has("--force");
  // Refused before any work is done; the spreadsheet application's own
  // question is answered by the flag as well.
  const std::filesystem::path file =
      exchange::NativeFilePath(output.empty() ? exchange::DefaultWorkbookPath() : output);
  std::error_code unreadable;
  if (!force && std::filesystem::exists(file, unreadable)) {
    messages.Show(BoxCaption::Error, file.string() + " exists already; use --force to replace it.");
    return Outcome::Failed();
  }
  workbook::SetServerQuestion([force](std::string_view) { return force; });
  image::FlashImage flash;
  if (LoadImageOfKind(flash, args.operands[0], image::ImageKind::NewFormat,
                      "A legacy image has no workbook: it carries no tool-config script.",
                      messages) != LoadResult::kLoaded)
    return Outcome::Failed();
  exchange::NewFormatSession session;
  const exchange::OpenNewFormatOutcome opened =
      exchange::OpenNewFormat(flash, session, {.workbook = {output, false}}, messages);
  if (opened.result != exchange::OpenNewFormatResult::kOpened)
    return Outcome::Failed();
  std::printf("%s\n", platform::PathText(exchange::NativeFilePath(opened.workbook_path)).c_str());
  return Outcome::Done();
}

}  // namespace
}  // namespace nuv::cli
