#include "toolcfg/script_unpacking.h"

#include <optional>
#include <vector>

#include "platform/input_file.h"
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
  // Read and closed again before the file is removed.
  const platform::Result<std::vector<uint8_t>> bytes =
      path.ok() ? platform::ReadWholeFile(path.value()) : path.failure();
  if (bytes.ok()) {
    unpacked = {UnpackResult::kUnpacked, {bytes.value().begin(), bytes.value().end()}};
  } else {
    messages.Show(BoxCaption::Error,
                  runner.start_error().empty()
                      ? "gzip left no script: the \"toolcfg\" block is not gzip data."
                      : runner.start_error());
  }
  RemoveExtractedToolConfig();
  return unpacked;
}

}  // namespace nuv::toolcfg
