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

Outcome Script(const Arguments& args, Messages& messages) {
  image::FlashImage flash;
  if (LoadImageOfKind(flash, args.operands[0], image::ImageKind::NewFormat,
                      "A legacy image carries no tool-config script.",
                      messages) != LoadResult::kLoaded)
    return Outcome::Failed();
  CommandRunner runner;
  const toolcfg::UnpackedScript script = toolcfg::UnpackToolConfigScript(flash, runner, messages);
  if (script.result == toolcfg::UnpackResult::kNoToolConfigBlock)
    messages.Show(BoxCaption::Error, "The image has no \"toolcfg\" block.");
  if (script.result != toolcfg::UnpackResult::kUnpacked)
    return Outcome::Failed();
  std::fwrite(script.text.data(), 1, script.text.size(), stdout);
  std::fflush(stdout);
  if (!args.Has("--check"))
    return Outcome::Done();
  toolcfg::ToolConfig model;
  if (toolcfg::ParseToolConfigText(model, script.text, flash.table, messages) !=
      toolcfg::ParseResult::kParsed) {
    messages.Show(BoxCaption::Application, "Wrong binary file, script error!");
    return Outcome::Failed();
  }
  return Outcome::Done();
}

}  // namespace
}  // namespace nuv::cli
