#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "image/flash_image.h"
#include "legacy/script_model.h"
#include "support/messages.h"

namespace nuv::legacy {

// A file block's file is read up to this many bytes.
inline constexpr size_t kMaxRowData = 2097152;
// The key record lies at this offset of the config area: 0x80, 0x00 and
// the 128 key bytes.
inline constexpr uint32_t kKeyRecordOffset = 628;
inline constexpr size_t kKeyRecordSize = 130;

// One row of the Customer Config dialog that still has its controls: the
// block it stands for (the block whose control id is the row's path edit,
// by the handle the dialog took when it made the row) and the file chosen
// for it (empty: no file chosen).
struct GenerateRow {
  BlockHandle block;
  std::string path;
};

// The texts of the dialog at the moment Generate is pressed.
struct GenerateRequest {
  std::string output_path;
  std::string config_path;        // empty: no configuration file
  std::string key_path;           // empty: no key file
  std::string flash_address;      // hexadecimal; empty: no byte patch
  std::string byte_value;         // hexadecimal
  std::vector<GenerateRow> rows;  // in row order
  // The parse the request was made for (LegacyBlockList::generation() when
  // the dialog made its controls): a dialog without rows left must be
  // refused just as one whose rows name blocks of an earlier parse. None:
  // the list as it is now (the command line).
  std::optional<uint64_t> list_generation;
};

// kWritten: the output file is in place, and the dialog closes as with OK.
enum class GenerateResult { kWritten, kNotWritten };
struct [[nodiscard]] GenerateOutcome {
  GenerateResult result = GenerateResult::kNotWritten;
  // The output path was given: from here on the block buttons are gone.
  bool started = false;
  // rows[0, rows_done) were placed or had no file: their three controls go,
  // and the dialog makes them again without a file, so that a second
  // Generate places only the rows after them.
  size_t rows_done = 0;
  uint32_t tail_size = 0;  // flash size - offset of the first entry with tail_flag 1, or 0
};

// Generate of the Customer Config dialog: refuses a dialog of an earlier
// parse (another list generation, or a row handle that names no block),
// then places the rows' files and hardware-info data into the image
// (moving the blocks that follow a resized one), writes the entry table
// back to the block header, applies the configuration file, the key record
// and the byte patch, and writes the image to the output path. Every
// failure is shown (caption "error") before it returns. The image and the
// entry table are changed in place and never restored: after a stop they
// hold every row placed before it.
GenerateOutcome Generate(image::FlashImage& image, const LegacyBlockList& list,
                         const GenerateRequest& request, Messages& messages);

// The entry that begins the fixed tail area, which Generate never moves and
// nothing may grow into: the first, in table order, whose tail_flag is 1.
// The area runs from its offset to the end of the image. Null without one.
const image::BlockEntry* FirstTailEntry(std::span<const image::BlockEntry> entries);

// The rows that the Customer Config dialog makes, in its order: the file
// and hardware-info blocks (EM 1 and 2) of the list.
std::vector<size_t> RowBlocks(const LegacyBlockList& list);
// Its block buttons: the field blocks (EM 0 and 3) of the list.
std::vector<size_t> ButtonBlocks(const LegacyBlockList& list);

}  // namespace nuv::legacy
