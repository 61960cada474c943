#pragma once

#include <string_view>

#include "image/flash_image.h"
#include "support/command_runner.h"
#include "support/messages.h"
#include "toolcfg/tool_config.h"

namespace nuv::toolcfg {

// Fixed names of the extraction; they are not configurable.
inline constexpr std::string_view kToolConfigBlockName = "toolcfg";
inline constexpr std::string_view kTemporaryFolder = "D:\\tmp";
inline constexpr std::string_view kCompressedScript = "D:\\tmp\\script-qv.cfg.gz";
inline constexpr std::string_view kGzipCommand = "gzip.exe -d D:\\tmp\\script-qv.cfg.gz";
inline constexpr std::string_view kExtractedScript = "D:\\tmp\\script-qv.cfg";

// Unpacks the tool-config script that a new-format image carries: the
// current data of the first block of the working table whose name begins
// with "toolcfg" is written to "D:\tmp\script-qv.cfg.gz", and
// "gzip.exe -d D:\tmp\script-qv.cfg.gz" is run through `runner` and waited
// for, polling every 100 ms without a time limit. The script is then
// expected at "D:\tmp\script-qv.cfg"; gzip's exit code is not looked at, so
// a failed unpacking shows when the script is parsed. The "D:\" names are
// working files of this process alone (platform::ToWorkingPath), so runs of
// the tool side by side never read each other's script.
//
// A script left over at "D:\tmp\script-qv.cfg" is removed first: gzip
// would refuse to overwrite it, and the old script would pass for the new.
//
// Results: kExtracted; kNoToolConfigBlock when no block name begins with
// "toolcfg" (also for an empty table); kNotWritten, with a message saying
// why, when the compressed file cannot be created or written whole.
enum class ExtractResult { kExtracted, kNoToolConfigBlock, kNotWritten };
[[nodiscard]] ExtractResult ExtractToolConfig(const image::FlashImage& image, CommandRunner& runner,
                                              Messages& messages);

// Removes what the extraction left: the script "D:\tmp\script-qv.cfg", a
// compressed file that gzip did not consume, and the folder "D:\tmp" when
// it is then empty. A missing file is passed over; a script that exists
// but cannot be removed raises nuv::FileError.
void RemoveExtractedToolConfig();

}  // namespace nuv::toolcfg
