#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "support/messages.h"

namespace nuv::diff {

// A value as the tool shows it: an unsigned number, a signed one (the SDRAM
// size), a text, or nothing where one image has none.
using Value = std::variant<std::monostate, uint64_t, int64_t, std::string>;

// A header value of the main form that differs.
struct HeaderChange {
  std::string name;  // the form's label: "Kind", "SDRAM Size", "Flash Size", ...
  Value old_value;
  Value new_value;
};

// Where a block's data lies and what it holds.
struct BlockPlace {
  uint64_t offset = 0;  // image position of the data
  uint32_t size = 0;
  // The entry's crc field; for a content change the CRC-32 of the data.
  uint32_t crc = 0;
};

enum class BlockChangeKind { kAdded, kRemoved, kMoved, kResized, kContent, kCrc };

// One change of one block. A block that moved, grew and changed its bytes
// has three of them, one per kind, in the order of the kinds.
struct BlockChange {
  uint8_t id = 0;
  std::string name;
  BlockChangeKind change = BlockChangeKind::kContent;
  std::optional<BlockPlace> old_place;  // none for an added block
  std::optional<BlockPlace> new_place;  // none for a removed block
  // Content changes only: the first position, counted from the start of
  // the block's data, where old and new differ (the shorter size when one
  // is the start of the other), and how many bytes differ, the bytes one
  // has beyond the other's end included.
  uint64_t first_difference = 0;
  uint64_t differing_bytes = 0;
};

// Differing bytes outside every block, at the same image position in both.
struct ByteRange {
  uint64_t offset = 0;
  uint64_t length = 0;
  // What lies there: "key record", "configuration region", "block header"
  // (legacy), "DM header" (new format), or empty.
  std::string area;
};

// A configuration field (legacy script) or item (tool-config script) whose
// value differs.
struct FieldChange {
  std::string block;  // the script's block name
  std::string name;
  int64_t bit_offset = 0;  // as the script gives them
  int64_t bit_length = 0;
  Value old_value;  // nothing when the field is missing on that side
  Value new_value;
};

struct ImageDiff {
  std::vector<HeaderChange> header;
  std::vector<BlockChange> blocks;
  std::vector<ByteRange> bytes;
  std::vector<FieldChange> fields;

  bool identical() const {
    return header.empty() && blocks.empty() && bytes.empty() && fields.empty();
  }
};

struct DiffRequest {
  std::string old_path;
  std::string new_path;
  // The legacy script to read both images' fields with; none: the script
  // that Parse finds beside the old image.
  std::optional<std::string> script_path;
};

enum class DiffStatus { kIdentical, kDifferent, kError };

struct DiffOutcome {
  DiffStatus status = DiffStatus::kError;
  ImageDiff diff;
};

// Compares two image files: both are pre-parsed as the Pre-Parse button
// does it, then their header values, blocks, the bytes outside all blocks
// and the configuration fields are compared.
//
// Blocks are matched by id and name; among blocks of one id and name, by
// bank and order within the bank, and what is left in order. A block's
// offset is the image position of its data.
//
// Fields: two legacy images are read with the script beside the old one
// (as Parse finds it) or `script_path`, the field blocks' values as the
// field edit dialog shows them; two new-format images each with the
// tool-config script they carry, the items' values as the workbook shows
// them. When there is no script to read (none beside the image, one that
// does not parse, images of two kinds), the fields are not compared and
// `messages` says why, after "Fields not compared: "; the rest of the
// comparison stands.
//
// Error, after the message "<path>: <Pre-Parse's message>": an image that
// cannot be read or that Pre-Parse refuses. Also an error: a `script_path`
// that does not parse (its message shown), or one given for new-format
// images.
DiffOutcome DiffImageFiles(const DiffRequest& request, Messages& messages);

}  // namespace nuv::diff
