#pragma once

#include <string>

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
  kParsed,        // the model holds the script; the workbook export comes next
  kNoScriptFile,  // "Please input a config file!"
  kNotExtracted,  // "Wrong binary file, can not parse it!"
  kNotParsed,     // "Wrong binary file, script error!"
};

// The new-format Parse up to the parsed model, for the New Format dialog,
// which owns `model` and `runner`:
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

}  // namespace nuv::exchange
