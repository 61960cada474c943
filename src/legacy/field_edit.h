#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "image/flash_image.h"
#include "legacy/script_model.h"
#include "support/messages.h"

namespace nuv::legacy {

// What the field edit dialog computes, without the dialog: the values its
// inputs show for the fields of one block, and the bits and CRC its OK
// writes. The dialog keeps the FieldSheet between its set-up and OK or
// Cancel, together with its controls; it never keeps a pointer into the
// block list (the sheet names the block by handle).

enum class FieldInput { kNone, kEdit, kList };

struct FieldView {
  FieldInput input = FieldInput::kNone;  // kNone: a label only (a type other than 0, 1, 2)
  std::string text;                      // kEdit: the edit's text
  std::vector<uint32_t> items;           // kList: the values offered, shown in decimal
  size_t selected = 0;                   // kList: the item selected
  bool writable = false;                 // OK writes this field back (not a list without values)
};

struct FieldSheet {
  BlockHandle block;
  // One view per field that gets controls (label and input), in chain
  // order. When a field stops the set-up ("String too long!" or a field
  // outside the image) it keeps its label and an empty input but is not
  // writable, and the fields after it get no controls: their bits stay.
  std::vector<FieldView> fields;
  bool described = false;  // EM 3: the inputs carry balloon tips
};

// The set-up of the dialog: reads every field's bits (number and list
// fields) or bytes (text fields) from the image at the block base, stores
// them as the fields' working values and texts and returns what to show.
// A handle that names no block (the script was parsed again) gives an empty
// sheet.
FieldSheet LoadFields(const image::FlashImage& image, LegacyBlockList& list, BlockHandle block,
                      Messages& messages);

// What the user left in one input at OK.
struct FieldAnswer {
  std::string text;     // an edit's text
  size_t selected = 0;  // a list's selected item
};

// OK: writes the writable fields (`answers` parallel to sheet.fields) into
// the image bits of the block, only the fields' own bits changing, then
// recomputes the CRC of the legacy entry that holds the block (unless it is
// "NCRC"). kRefused, with nothing written, when the block or a field can no
// longer be placed (the list was replaced, Generate moved the entry, ...)
// or a number or list value does not fit its field's bits.
enum class StoreResult { kStored, kRefused };
[[nodiscard]] StoreResult StoreFields(image::FlashImage& image, LegacyBlockList& list,
                                      const FieldSheet& sheet, std::span<const FieldAnswer> answers,
                                      Messages& messages);

// A field's description as its balloon tip shows it: every backslash
// followed by "n" becomes a line break.
std::string TipText(const ScriptField& field);

}  // namespace nuv::legacy
