#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "common/line_reader.h"
#include "image/flash_image.h"
#include "legacy/script_model.h"
#include "support/messages.h"

namespace nuv::legacy {

// A script line holds at most this many characters; a longer one ends the
// reading as the end of the file would (its first 999 characters still
// count).
inline constexpr size_t kMaxScriptLine = 999;

enum class ScriptParseStatus {
  kParsed,
  kCannotOpen,  // no script path, or the file cannot be opened
  kScriptError,
};

struct [[nodiscard]] ScriptParseResult {
  ScriptParseStatus status = ScriptParseStatus::kScriptError;
  // The list holds the new blocks: the form now makes a new Customer Config
  // dialog (template 2002, the form as parent) and shows it. An earlier one
  // keeps nothing but stale handles.
  bool open_customer_config() const { return status == ScriptParseStatus::kParsed; }
};

// The Parse command of a legacy image: frees the form's block list, reads
// the script at image.script_path and, when it holds at least one block,
// puts its blocks into `list`. Every failure is shown (caption "error")
// before it returns, and leaves the list empty.
ScriptParseResult ParseLegacyScript(const image::FlashImage& image, LegacyBlockList& list,
                                    Messages& messages);

// The reading itself, from an opened reader: the blocks of the script, or
// nothing after the failure's message. `flash_size` is what "FLASH" lines
// must match.
std::optional<std::vector<ScriptBlock>> ParseLegacyScriptLines(common::LineReader& lines,
                                                               uint32_t flash_size,
                                                               Messages& messages);

}  // namespace nuv::legacy
