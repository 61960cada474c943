#include "exchange/open_new_format.h"

#include "platform/paths.h"
#include "toolcfg/extract.h"
#include "toolcfg/tool_config_parser.h"

namespace nuv::exchange {
namespace {

// The longest script path the main form hands over.
constexpr size_t kMaxScriptPath = 255;

}  // namespace

PrepareResult PrepareToolConfig(toolcfg::ToolConfig& model, const image::FlashImage& image,
                                const ToolConfigSource& source, CommandRunner& runner,
                                Messages& messages) {
  toolcfg::ClearToolConfig(model);
  const bool expert_script = source.internal_mode && source.experts_checked;
  std::string script;
  if (expert_script) {
    script = source.script_path.substr(0, kMaxScriptPath);
    if (script.empty()) {
      messages.Show(BoxCaption::Application, "Please input a config file!");
      return PrepareResult::kNoScriptFile;
    }
  } else {
    if (toolcfg::ExtractToolConfig(image, runner, messages) != toolcfg::ExtractResult::kExtracted) {
      messages.Show(BoxCaption::Application, "Wrong binary file, can not parse it!");
      return PrepareResult::kNotExtracted;
    }
    // A working file of this process: the name "D:\tmp\script-qv.cfg" as the
    // user would write it lies elsewhere.
    script = platform::ToWorkingPath(toolcfg::kExtractedScript).value().string();
  }
  const toolcfg::ParseResult parsed =
      toolcfg::ParseToolConfig(model, script, image.table, messages);
  if (!expert_script)
    toolcfg::RemoveExtractedToolConfig();
  if (parsed != toolcfg::ParseResult::kParsed) {
    messages.Show(BoxCaption::Application, "Wrong binary file, script error!");
    // Not the script's fault: say which program is missing, and where it
    // was looked for.
    if (!expert_script && !runner.start_error().empty())
      messages.Show(BoxCaption::Application, runner.start_error());
    return PrepareResult::kNotParsed;
  }
  return PrepareResult::kParsed;
}

OpenNewFormatOutcome OpenNewFormat(image::FlashImage& image, NewFormatSession& session,
                                   const OpenNewFormatRequest& request, Messages& messages) {
  if (PrepareToolConfig(session.model, image, request.source, session.runner, messages) !=
      PrepareResult::kParsed)
    return {OpenNewFormatResult::kNotParsed};
  WorkbookExchange work{session.model, image.table, session.runner, messages};
  ExportOutcome exported = ExportWorkbook(work, request.workbook);
  if (exported.result != ExportResult::kSaved) {
    messages.Show(BoxCaption::Application, "Wrong binary file, can not create xls!");
    return {OpenNewFormatResult::kNotExported};
  }
  return {OpenNewFormatResult::kOpened, std::move(exported.workbook_path)};
}

}  // namespace nuv::exchange
