// nuv script IMAGE [--check]: prints the tool-config script that a
// new-format image carries, unpacked exactly as the Parse command unpacks it,
// for the people who write such scripts.
#include <cstdio>
#include <string>
#include <string_view>

#include "command.h"
#include "image/flash_image.h"
#include "image_loading.h"
#include "support/command_runner.h"
#include "toolcfg/script_unpacking.h"
#include "toolcfg/tool_config.h"
#include "toolcfg/tool_config_parser.h"

namespace nuv::cli {
namespace {

Outcome Script(const Arguments& args, Messages& messages);

const Command kScript = {
    .name = "script",
    .usage = "IMAGE [--check]",
    .summary =
        "prints the tool-config script of a new-format image (its \"toolcfg\" block, unpacked\n"
        "      with gzip as Parse does it) on standard output; exit 1 when there is no\n"
        "      script or (with --check) it does not parse",
    .modifies = "nothing",
    .operands = {"IMAGE"},
    .options = {{"--check", "",
                 "also parses it against the image's blocks and reports what the parse reports"}},
    .run = &Script};

CommandRegistration register_script(kScript);

// Extracts, reads and removes the script; false after saying why.
bool UnpackScript(const image::FlashImage& flash, std::string& script, Messages& messages) {
  CommandRunner runner;
  const int result = toolcfg::UnpackToolConfigScript(flash, runner, script, messages);
  if (result == toolcfg::kNoToolConfigBlock)
    messages.Show(BoxCaption::Error, "The image has no \"toolcfg\" block.");
  return result == toolcfg::kToolConfigOk;
}

Outcome Script(const Arguments& args, Messages& messages) {
  image::FlashImage flash;
  if (!LoadImageOfKind(flash, args.operands[0], image::ImageKind::NewFormat,
                       "A legacy image carries no tool-config script.", messages))
    return Outcome::Failed();
  std::string script;
  if (!UnpackScript(flash, script, messages))
    return Outcome::Failed();
  std::fwrite(script.data(), 1, script.size(), stdout);
  std::fflush(stdout);
  if (!args.Has("--check"))
    return Outcome::Done();
  toolcfg::ToolConfig model;
  if (toolcfg::ParseToolConfigText(model, script, flash.table, messages) !=
      toolcfg::kToolConfigOk) {
    messages.Show(BoxCaption::Application, "Wrong binary file, script error!");
    return Outcome::Failed();
  }
  return Outcome::Done();
}

}  // namespace
}  // namespace nuv::cli
