#pragma once

#include <string>

#include "exchange/exchange.h"
#include "exchange/export_workbook.h"
#include "image/flash_image.h"
#include "support/command_runner.h"
#include "support/messages.h"
#include "toolcfg/tool_config.h"

namespace nuv::exchange {

// Where the script of a new-format Parse comes from, as the main form knows it.
struct ToolConfigSource {
  bool internal_mode = false;    // the host setting
  bool experts_checked = false;  // the "Experts Only" check box, as it is now
  std::string script_path;       // the main form's script path
};

enum class PrepareResult {
  kParsed,        // the model holds the script
  kNoScriptFile,  // "Please input a config file!"
  kNotExtracted,  // "Wrong binary file, can not parse it!"
  kNotParsed,     // "Wrong binary file, script error!"
};

// The new-format Parse up to the parsed model, OpenNewFormat's first step,
// and all that nuv build and nuv diff need of it:
//  1. the model is cleared;
//  2. in internal mode with "Experts Only" checked, the user's script (the
//     script path, at most 255 characters) is parsed; none chosen: "Please
//     input a config file!";
//  3. otherwise the script embedded in the image is extracted
//     (ExtractToolConfig); on failure "Wrong binary file, can not parse it!";
//  4. the script is parsed (ParseToolConfig) against the working table;
//  5. an extracted script is removed with its folder, whatever the parse gave;
//  6. a failed parse: "Wrong binary file, script error!", and then, when
//     gzip could not be started at all, a second box that says why
//     (CommandRunner::start_error).
// Its messages are application boxes. A script that was extracted but
// cannot be removed raises nuv::FileError, which ends the command.
[[nodiscard]] PrepareResult PrepareToolConfig(toolcfg::ToolConfig& model,
                                              const image::FlashImage& image,
                                              const ToolConfigSource& source, CommandRunner& runner,
                                              Messages& messages);

struct OpenNewFormatRequest {
  ToolConfigSource source{};
  ExportOptions workbook{};  // where the workbook goes, and whether the user is handed it
};

enum class OpenNewFormatResult {
  kOpened,       // the model holds the script, and the workbook is saved
  kNotParsed,    // no model: PrepareToolConfig's messages say why
  kNotExported,  // "Wrong binary file, can not create xls!"
};

struct [[nodiscard]] OpenNewFormatOutcome {
  OpenNewFormatResult result = OpenNewFormatResult::kNotParsed;
  std::string workbook_path{};  // where the workbook was saved
};

// The new-format Parse, from the image's script to the workbook the user
// edits: the script into the session's model (PrepareToolConfig), then the
// workbook written (ExportWorkbook); a workbook that cannot be written:
// "Wrong binary file, can not create xls!". A failing automation call
// raises nuv::AutomationError, which ends the command.
OpenNewFormatOutcome OpenNewFormat(image::FlashImage& image, NewFormatSession& session,
                                   const OpenNewFormatRequest& request, Messages& messages);

}  // namespace nuv::exchange
