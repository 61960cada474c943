// nuv script IMAGE [--check]: prints the tool-config script that a
// new-format image carries, unpacked exactly as the Parse command unpacks it,
// for the people who write such scripts.
#include <cstdio>
#include <string>
#include <string_view>

#include "command.h"
#include "image/flash_image.h"
#include "image_loading.h"
#include "platform/errors.h"
#include "support/command_runner.h"
#include "toolcfg/script_unpacking.h"
#include "toolcfg/tool_config.h"
#include "toolcfg/tool_config_parser.h"

namespace nuv::cli {
namespace {

int Script(std::span<const std::string> args);

const Command kScript = {
    "script", "IMAGE [--check]",
    "prints the tool-config script of a new-format image (its \"toolcfg\" block, unpacked\n"
    "      with gzip as Parse does it) on standard output; --check also parses it against\n"
    "      the image's blocks and reports what the parse reports; exit 1 when there is no\n"
    "      script or (with --check) it does not parse",
    "nothing", &Script};

CommandRegistration register_script(kScript);

// Extracts, reads and removes the script; false after saying why.
bool UnpackScript(const image::FlashImage& flash, std::string& script, Messages& messages) {
  CommandRunner runner;
  const int result = toolcfg::UnpackToolConfigScript(flash, runner, script, messages);
  if (result == toolcfg::kNoToolConfigBlock)
    messages.Show(BoxCaption::Error, "The image has no \"toolcfg\" block.");
  return result == toolcfg::kToolConfigOk;
}

int Script(std::span<const std::string> args) {
  std::string path;
  bool check = false;
  for (const std::string& arg : args) {
    if (arg == "--check")
      check = true;
    else if (!arg.empty() && arg[0] == '-')
      return UsageError(kScript, "unknown option " + arg);
    else if (path.empty())
      path = arg;
    else
      return UsageError(kScript, "one IMAGE only");
  }
  if (path.empty())
    return UsageError(kScript, "IMAGE is missing");

  StderrMessages messages;
  try {
    image::FlashImage flash;
    if (!LoadImageOfKind(flash, path, image::ImageKind::NewFormat,
                         "A legacy image carries no tool-config script.", messages))
      return 1;
    std::string script;
    if (!UnpackScript(flash, script, messages))
      return 1;
    std::fwrite(script.data(), 1, script.size(), stdout);
    std::fflush(stdout);
    if (check) {
      toolcfg::ToolConfig model;
      if (toolcfg::ParseToolConfigText(model, script, flash.table, messages) !=
          toolcfg::kToolConfigOk) {
        messages.Show(BoxCaption::Application, "Wrong binary file, script error!");
        return 1;
      }
    }
  } catch (const CommandError& error) {
    messages.Show(BoxCaption::Application, error.what());
    return 1;
  }
  return 0;
}

}  // namespace
}  // namespace nuv::cli
