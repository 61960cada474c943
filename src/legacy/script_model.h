#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace nuv::legacy {

// A control id that no control carries yet.
inline constexpr uint32_t kNoControl = 0xFFFF;

inline constexpr size_t kMaxNameLength = 19;
inline constexpr size_t kMaxDescriptionLength = 1023;
inline constexpr size_t kMaxFieldsPerBlock = 100;
inline constexpr size_t kMaxTextBytes = 40;
// A list field offers at most this many values; a longer list could not be
// shown in a drop-down list anyway.
inline constexpr size_t kMaxListItems = 65536;

// What a block of the script stands for (its "EM" value).
inline constexpr uint8_t kFieldBlock = 0;
inline constexpr uint8_t kFileBlock = 1;
inline constexpr uint8_t kHwInfoBlock = 2;
inline constexpr uint8_t kDescribedFieldBlock = 3;

// Field types.
inline constexpr uint8_t kNumberField = 0;
inline constexpr uint8_t kTextField = 1;
inline constexpr uint8_t kListField = 2;

// One bracketed field entry of a block's field list.
struct ScriptField {
  uint32_t control_id = kNoControl;  // its input control in the field edit dialog
  std::string name;                  // at most 19 characters
  uint8_t type = kNumberField;
  uint32_t bit_offset = 0;  // first bit, counted from the block base
  uint32_t bit_length = 0;
  uint32_t value = 0;         // working value of a number or list field
  std::vector<uint8_t> text;  // working bytes of a text field, at most 40
  std::string description;    // blocks with EM 3 only, at most 1,023 characters
  uint32_t list_start = 0;    // list fields only
  uint32_t list_end = 0;
  uint32_t list_step = 0;
};

// One "ID" line of the script with what follows it up to the next "ID".
struct ScriptBlock {
  uint32_t control_id = kNoControl;  // its control in the Customer Config dialog
  uint8_t block_id = 0;  // 0: placed relative to the config area; else a legacy entry's block_id
  std::string name;      // at most 19 characters
  uint8_t em = kFieldBlock;
  uint32_t offset = 0;
  std::vector<ScriptField> fields;  // in the order written, at most 100

  uint32_t field_count() const { return static_cast<uint32_t>(fields.size()); }
  bool is_field_block() const { return em == kFieldBlock || em == kDescribedFieldBlock; }
  bool is_row_block() const { return em == kFileBlock || em == kHwInfoBlock; }
};

// The values a list field offers: start, start + step, ... while the value
// does not exceed end, never more than kMaxListItems and never past 2^32
// (where the value would wrap around). Empty for a step of 0.
std::vector<uint32_t> ListItems(const ScriptField& field);

// Names a block of one parse of the script. A handle outlives the list it
// came from safely: once the list has been freed or replaced, it names
// nothing.
struct BlockHandle {
  uint64_t generation = 0;
  size_t index = 0;
  friend bool operator==(const BlockHandle&, const BlockHandle&) = default;
};

// The legacy block list: the blocks of the last successful parse, in file
// order. The main form owns the one list; the Customer Config and field edit
// dialogs never keep a pointer or reference into it across handlers: they
// keep BlockHandles and resolve them with Find() each time they run. A new
// parse or Cancel frees the blocks and starts a new generation, so every
// handle that a dialog still holds resolves to nothing from then on and no
// dialog can reach released nodes.
//
// How the windows use the legacy core:
//  - NuvDialog holds the LegacyBlockList and the FlashImage. Parse calls
//    ParseLegacyScript(image, list, sink); when the result says
//    open_customer_config(), it makes a new NuvSubDialog. An earlier one
//    that is still open only holds stale handles: its Generate is refused
//    with a message and its block buttons find no block. Cancel and
//    Pre-Parse close every one of them.
//  - NuvSubDialog, at its first exchange, takes ButtonBlocks(list) and
//    RowBlocks(list) (generate.h) and keeps list.Handle(i) for every button
//    and row; each exchange makes the controls that do not exist and sets
//    list.Find(handle)->control_id to the control's id.
//  - A block button hands its BlockHandle to NuvNewButtonDialog, which calls
//    LoadFields at its set-up, keeps the FieldSheet, and calls StoreFields
//    with what its inputs hold at OK (field_edit.h).
//  - Generate builds a GenerateRequest from the dialog's texts and the rows
//    whose controls remain (handle and chosen path, in row order); after it
//    returns, the dialog destroys the block buttons when `started`, the three
//    controls of every row before `rows_done` (its next exchange makes them
//    again, those rows without a file), and closes as with OK when
//    `written` (generate.h).
class LegacyBlockList {
 public:
  LegacyBlockList();

  // The blocks in file order (first to last); the span is valid until the
  // list is replaced or freed.
  std::span<ScriptBlock> blocks() { return blocks_; }
  std::span<const ScriptBlock> blocks() const { return blocks_; }
  // The number of blocks (0 when freed).
  uint32_t count() const { return static_cast<uint32_t>(blocks_.size()); }
  bool empty() const { return blocks_.empty(); }
  // Changes whenever the blocks are replaced or freed; never repeats within
  // the process.
  uint64_t generation() const { return generation_; }

  BlockHandle Handle(size_t index) const { return {generation_, index}; }
  // The block a handle names, or null when the handle is from an earlier
  // list or out of range.
  ScriptBlock* Find(BlockHandle handle);
  const ScriptBlock* Find(BlockHandle handle) const;
  // The block whose control id is `control_id`, or none.
  std::optional<size_t> FindByControlId(uint32_t control_id) const;

  // Takes the blocks of a new parse: a new generation begins.
  void Assign(std::vector<ScriptBlock> blocks);

  friend void FreeScriptBlocks(LegacyBlockList& list);

 private:
  bool Names(BlockHandle handle) const;

  std::vector<ScriptBlock> blocks_;
  uint64_t generation_;
};

// Releases every block and every field of each block; the count becomes 0
// and a new generation begins. Freeing an empty list only does the latter.
void FreeScriptBlocks(LegacyBlockList& list);

// The first block of the list, or null for an empty list. Every walk over
// the blocks starts here and goes on in file order.
ScriptBlock* FirstScriptBlock(LegacyBlockList& list);
const ScriptBlock* FirstScriptBlock(const LegacyBlockList& list);

// The first field of a block, or null for a null block or a block without
// fields.
ScriptField* FirstScriptField(ScriptBlock* block);
const ScriptField* FirstScriptField(const ScriptBlock* block);

}  // namespace nuv::legacy
