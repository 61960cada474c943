#pragma once

#include <string>

#include "image/flash_image.h"
#include "support/command_runner.h"
#include "support/messages.h"

namespace nuv::toolcfg {

enum class UnpackResult {
  kUnpacked,
  kNoToolConfigBlock,  // no block name begins with "toolcfg"; no message
  kNotWritten,         // the compressed script could not be written (the extraction says why)
  kNoScript,           // gzip left no script, after a message that says why
};

struct [[nodiscard]] UnpackedScript {
  UnpackResult result = UnpackResult::kNoScript;
  std::string text{};  // the whole script, when kUnpacked
};

// The tool-config script that a new-format image carries, as text:
// unpacked exactly as Parse unpacks it (ExtractToolConfig, gzip through
// `runner`), read whole, and what the extraction left removed again. When
// gzip left no script, the message names the program that could not be
// started (CommandRunner::start_error), or says that the block is not gzip
// data. A script that cannot be removed raises nuv::FileError.
UnpackedScript UnpackToolConfigScript(const image::FlashImage& image, CommandRunner& runner,
                                      Messages& messages);

}  // namespace nuv::toolcfg
