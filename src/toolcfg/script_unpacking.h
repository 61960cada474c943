#pragma once

#include <string>

#include "image/flash_image.h"
#include "support/command_runner.h"
#include "support/messages.h"

namespace nuv::toolcfg {

// The tool-config script that a new-format image carries, as text: unpacked
// exactly as Parse unpacks it (ExtractToolConfig, gzip through `runner`),
// read whole, and what the extraction left removed again.
//
// Results: kToolConfigOk with the text in `script`; kNoToolConfigBlock
// when no block name begins with "toolcfg" (no message); kShortWrite after
// the extraction's message; kScriptNotOpened when gzip left no script,
// after a message that says why (the block is not gzip data, or why gzip
// cannot run). Raises nuv::FileError when the script cannot be removed.
int UnpackToolConfigScript(const image::FlashImage& image, CommandRunner& runner,
                           std::string& script, Messages& messages);

}  // namespace nuv::toolcfg
