#include "toolcfg/script_unpacking.h"

#include <fstream>
#include <iterator>

#include "platform/paths.h"
#include "toolcfg/extract.h"

namespace nuv::toolcfg {

UnpackedScript UnpackToolConfigScript(const image::FlashImage& image, CommandRunner& runner,
                                      Messages& messages) {
  switch (ExtractToolConfig(image, runner, messages)) {
    case ExtractResult::kNoToolConfigBlock:
      return {UnpackResult::kNoToolConfigBlock};
    case ExtractResult::kNotWritten:
      RemoveExtractedToolConfig();
      return {UnpackResult::kNotWritten};
    case ExtractResult::kExtracted:
      break;
  }
  UnpackedScript unpacked;
  const platform::NativePath path = platform::ToWorkingPath(kExtractedScript);
  std::ifstream in;
  if (path.ok)
    in.open(path.path, std::ios::binary);
  if (in.is_open()) {
    unpacked = {UnpackResult::kUnpacked,
                {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()}};
  } else {
    messages.Show(BoxCaption::Error,
                  runner.start_error().empty()
                      ? "gzip left no script: the \"toolcfg\" block is not gzip data."
                      : runner.start_error());
  }
  in.close();
  RemoveExtractedToolConfig();
  return unpacked;
}

}  // namespace nuv::toolcfg
