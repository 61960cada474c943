// nuv workbook IMAGE [-o FILE] [--force]: the workbook export of the
// new-format flow without windows, for people who prepare workbooks in
// batch. The script the image carries is unpacked and parsed as Parse does
// it, and the workbook is written and saved as the export writes it;
// nothing is opened. An existing FILE is replaced only with --force, and
// then as every output of the tool is: the workbook is saved in this run's
// working folder and written over FILE whole, so that no spreadsheet
// application asks whether to replace it (nobody would answer in a batch)
// and a failed export leaves FILE as it was.
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "command.h"
#include "exchange/open_new_format.h"
#include "image_loading.h"
#include "platform/input_file.h"
#include "platform/output_file.h"
#include "platform/paths.h"

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

// Writes the workbook saved at `saved` over `target`, whole, and removes it.
bool ReplaceWithSaved(const std::filesystem::path& saved, const std::filesystem::path& target,
                      Messages& messages) {
  // Closed again before it is removed: Windows removes no open file.
  const platform::Result<std::vector<uint8_t>> bytes = platform::ReadWholeFile(saved);
  std::error_code ignored;
  std::filesystem::remove(saved, ignored);
  if (!bytes.ok()) {
    messages.Show(BoxCaption::Error, "The saved workbook " + platform::PathText(saved) +
                                         " could not be read back: " + bytes.error());
    return false;
  }
  const platform::WriteResult written = platform::WriteFileReplacing(target, bytes.value());
  if (!written.ok())
    messages.Show(BoxCaption::Error, written.error());
  return written.ok();
}

Outcome Workbook(const Arguments& args, Messages& messages) {
  const std::string output = args.Value("-o");
  const bool force = args.Has("--force");
  // Refused before any work is done.
  const std::filesystem::path file =
      exchange::NativeFilePath(output.empty() ? exchange::DefaultWorkbookPath() : output);
  std::error_code unreadable;
  if (!force && std::filesystem::exists(file, unreadable)) {
    messages.Show(BoxCaption::Error, file.string() + " exists already; use --force to replace it.");
    return Outcome::Failed();
  }
  std::string save_as = output;
  const bool replace = force && std::filesystem::exists(file, unreadable);
  if (replace) {
    const platform::NativePath work = platform::WorkingFolder();
    if (!work.ok()) {
      messages.Show(BoxCaption::Error, work.error());
      return Outcome::Failed();
    }
    save_as = platform::PathText(work.value() / file.filename());
  }
  image::FlashImage flash;
  if (LoadImageOfKind(flash, args.operands[0], image::ImageKind::NewFormat,
                      "A legacy image has no workbook: it carries no tool-config script.",
                      messages) != LoadResult::kLoaded)
    return Outcome::Failed();
  exchange::NewFormatSession session;
  const exchange::OpenNewFormatOutcome opened =
      exchange::OpenNewFormat(flash, session, {.workbook = {save_as, false}}, messages);
  if (opened.result != exchange::OpenNewFormatResult::kOpened)
    return Outcome::Failed();
  const std::filesystem::path saved = exchange::NativeFilePath(opened.workbook_path);
  if (replace && !ReplaceWithSaved(saved, file, messages))
    return Outcome::Failed();
  std::printf("%s\n", platform::PathText(replace ? file : saved).c_str());
  return Outcome::Done();
}

}  // namespace
}  // namespace nuv::cli
