#pragma once

#include <string_view>

#include "image/block_table.h"
#include "support/messages.h"
#include "toolcfg/tool_config.h"

namespace nuv::toolcfg {

enum class ParseResult {
  kParsed,
  kNotOpened,    // the script file cannot be opened
  kScriptError,  // not a tool-config script, or a line that cannot be carried out
};

// Reads the tool-config script at `script_path` (a Windows-style name such
// as "D:\tmp\script-qv.cfg", or a native path) into `model`, and reads every
// item's present value out of the block data of `table`, the working block
// table. The model only grows: parsing twice without ClearToolConfig
// appends a second copy, and what was added before a failure stays.
//
// Results: kParsed; kNotOpened when the file cannot be opened; kScriptError
// when no line "CFGHEADER=toolcfg" is found, a line is malformed or an
// INDEX names a block the image does not have (after the lookup's own
// message), or when the script does something that cannot be carried out: SHEETINFO or BLOCKINFO
// before the first SHEETID, OFFSET, EM, INDEX or an item before the first BLOCKINFO, an item before
// any INDEX, a number wider than 64 bits, an item lying outside its block's data. Those get a
// message that names the line.
//
// A line longer than 999 characters is read cut to its first 999, and the
// script ends there; a message says so.
[[nodiscard]] ParseResult ParseToolConfig(ToolConfig& model, std::string_view script_path,
                                          const image::BlockTable& table, Messages& messages);

// The same, over a script held in memory.
[[nodiscard]] ParseResult ParseToolConfigText(ToolConfig& model, std::string_view script,
                                              const image::BlockTable& table, Messages& messages);

}  // namespace nuv::toolcfg
