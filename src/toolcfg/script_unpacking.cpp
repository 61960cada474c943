#include "toolcfg/script_unpacking.h"

#include <fstream>
#include <iterator>

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
    std::ifstream in;
    if (path.ok)
      in.open(path.path, std::ios::binary);
    if (in.is_open()) {
      script.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
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
