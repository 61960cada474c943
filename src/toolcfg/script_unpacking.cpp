#include "toolcfg/script_unpacking.h"

#include <optional>
#include <vector>

#include "platform/input_file.h"
#include "platform/paths.h"
#include "toolcfg/extract.h"

namespace nuv::toolcfg {

int UnpackToolConfigScript(const image::FlashImage& image, CommandRunner& runner,
                           std::string& script, Messages& messages) {
  const int extracted = ExtractToolConfig(image, runner, messages);
  if (extracted == kNoToolConfigBlock)
    return extracted;
  int result = extracted;
  if (extracted == kToolConfigOk) {
    const platform::NativePath path = platform::ToWorkingPath(kExtractedScript);
    std::optional<platform::InputFile> in;
    if (path.ok)
      in = platform::InputFile::Open(path.path);
    const std::optional<std::vector<uint8_t>> bytes = in ? in->ReadAll() : std::nullopt;
    if (bytes) {
      script.assign(bytes->begin(), bytes->end());
    } else {
      result = kScriptNotOpened;
      messages.Show(BoxCaption::Error,
                    runner.start_error().empty()
                        ? "gzip left no script: the \"toolcfg\" block is not gzip data."
                        : runner.start_error());
    }
  }
  RemoveExtractedToolConfig();
  return result;
}

}  // namespace nuv::toolcfg
