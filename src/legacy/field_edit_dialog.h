#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/dialog.h"
#include "legacy/customer_config_dialog.h"
#include "legacy/field_edit.h"
#include "legacy/script_model.h"
#include "support/balloon_tip.h"

namespace nuv::legacy {

// The field edit dialog: the fields of one field block of the legacy script
// as a grid of labelled inputs, four to a line, filled with what the image
// holds at the fields' bits. OK writes the edited values back into the
// image in memory, bit-exactly, and updates the CRC of the legacy entry
// that holds the block; Cancel discards the edits. Nothing is written to a
// file here: Generate does that later.
//
// There is at most one at a time (Current()). The Customer Config dialog
// makes it, as a pop-up it owns, when the user clicks a block button.
class NuvNewButtonDialog : public fw::Dialog {
 public:
  static constexpr uint32_t kFirstLabel = 30000;
  static constexpr uint32_t kFirstInput = 31000;

  NuvNewButtonDialog();
  NuvNewButtonDialog(LegacyWorkspace workspace, BlockHandle block);
  ~NuvNewButtonDialog() override;

  static const fw::RuntimeClass kClass;
  const fw::RuntimeClass& GetRuntimeClass() const override;
  const fw::MessageMap& GetMessageMap() const override;
  void DoDataExchange(fw::DataExchange& dx) override;
  bool PreTranslateMessage(const fw::Msg& msg) override;

  // The one field edit dialog whose window exists, or null.
  static NuvNewButtonDialog* Current();

  // Opens the field edit dialog for `block`, owned by `owner` (the Customer
  // Config dialog): creates it from its template with the block's name as
  // its title and shows it. When one is open already for the same block it
  // is only brought to the front; one open for another block is closed
  // first, its edits discarded, so that the one dialog always edits the
  // block clicked last. A block whose fields have no place in the image is
  // refused with its message, and an open dialog stays as it is.
  static void Open(fw::Window& owner, LegacyWorkspace workspace, BlockHandle block);

  BlockHandle block() const { return block_; }
  const FieldSheet& sheet() const { return sheet_; }

  // The tip of a described block (EM 3): one tool per input, with the
  // field's description. Its window exists only for such a block.
  const BalloonTip& tip() const { return tip_; }

 private:
  void OnOK() override;
  void OnCancel() override;

  // The label and input of every field the set-up reached; each field's
  // control id becomes its input's.
  void MakeControls(ScriptBlock& block);
  void SetUpTip();

  LegacyWorkspace workspace_;
  BlockHandle block_;
  bool loaded_ = false;
  FieldSheet sheet_;
  BalloonTip tip_;
};

}  // namespace nuv::legacy
