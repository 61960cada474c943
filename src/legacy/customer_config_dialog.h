#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "framework/dialog.h"
#include "framework/window_ref.h"
#include "image/flash_image.h"
#include "legacy/script_model.h"

namespace nuv::legacy {

// What the legacy dialogs work on: the main form's loaded image and its
// legacy block list. The form owns both; a dialog reaches them only while
// the form's window exists, so a dialog that outlives the form (or one made
// by name, without a form) reaches nothing and does nothing.
class LegacyWorkspace {
 public:
  LegacyWorkspace() = default;
  LegacyWorkspace(fw::Window& form, image::FlashImage& image, LegacyBlockList& list)
      : form_(&form), image_(&image), list_(&list) {}

  image::FlashImage* image() const { return form_ ? image_ : nullptr; }
  LegacyBlockList* list() const { return form_ ? list_ : nullptr; }

 private:
  fw::WindowRef<> form_;
  image::FlashImage* image_ = nullptr;
  LegacyBlockList* list_ = nullptr;
};

// The Customer Config dialog: the window in which the user prepares a new
// legacy flash image. The main form makes one after every successful parse
// of the legacy script, as a modeless dialog it owns. Its first exchange
// turns the block list into controls: a button per field block (opening the
// field edit dialog), a row per file or hardware-info block (label, chosen
// file, "...." button); below them the output, configuration and key files
// and, for experts, a single-byte patch. Generate writes the new image;
// Back closes the dialog.
//
// The dialog names its blocks by the handles it took when it made their
// controls. A later parse (or the form's Cancel) frees the list: from then
// on the handles name nothing, its block buttons open nothing and its
// Generate is refused, so it can never touch released blocks.
class NuvSubDialog : public fw::Dialog {
 public:
  // The first of the control ids made at run time, and how many of each
  // kind answer a click.
  static constexpr uint32_t kFirstBlockButton = 20000;
  static constexpr uint32_t kFirstRowLabel = 20100;
  static constexpr uint32_t kFirstRowPath = 20200;
  static constexpr uint32_t kFirstRowBrowse = 20300;
  static constexpr uint32_t kAnswered = 31;

  NuvSubDialog();
  explicit NuvSubDialog(LegacyWorkspace workspace);
  ~NuvSubDialog() override;

  static const fw::RuntimeClass kClass;
  const fw::RuntimeClass& GetRuntimeClass() const override;
  const fw::MessageMap& GetMessageMap() const override;
  void DoDataExchange(fw::DataExchange& dx) override;

  // --- what it holds ---
  uint32_t block_button_count() const { return block_button_count_; }
  // Every block that is no field block, rows or not (a block with an EM
  // other than 0 to 3 is counted here but gets no row).
  uint32_t row_count() const { return row_count_; }
  // The file chosen for each row; none before the first exchange and after
  // Back or a successful Generate.
  const std::optional<std::vector<std::string>>& row_paths() const { return row_paths_; }
  const std::string& output_path() const { return output_path_; }
  const std::string& config_path() const { return config_path_; }
  const std::string& key_path() const { return key_path_; }
  // Set by Generate.
  uint32_t tail_size() const { return tail_size_; }

 protected:
  // Return in an edit does not close the dialog: only Generate and Back do.
  void OnOK() override;
  // Escape closes the dialog as Back does.
  void OnCancel() override;

 private:
  // A row of the dialog: the block it stands for.
  struct Row {
    BlockHandle block;
    uint32_t path_id = 0;  // its path edit
  };

  // At the first exchange: the blocks of the list that get a button or a
  // row, and the row path list.
  void TakeBlocks();
  // The block buttons and the rows' controls that do not exist (all of them
  // at the first exchange, those Generate destroyed later).
  void MakeMissingControls();
  void OpenBlock(uint32_t id);
  void BrowseRow(uint32_t id);
  void BrowseOutput();
  void BrowseConfig();
  void BrowseKey();
  void Generate();
  void Back();
  void IgnoreChange() {}

  void DestroyBlockButtons();
  void DestroyRow(uint32_t path_id);
  void DestroyControl(uint32_t id);
  // Ends the dialog with `result` and lets its window go.
  void Close(int result);

  LegacyWorkspace workspace_;
  uint32_t block_button_count_ = 0;
  uint32_t row_count_ = 0;
  std::string flash_address_;
  std::string byte_value_;
  std::optional<std::vector<std::string>> row_paths_;
  std::string output_path_;
  std::string config_path_;
  std::string key_path_;
  uint32_t tail_size_ = 0;
  // The parse whose blocks the controls stand for.
  std::optional<uint64_t> generation_;
  // The block of each block button, by button (id kFirstBlockButton + k).
  std::vector<BlockHandle> buttons_;
  std::vector<Row> rows_;
};

}  // namespace nuv::legacy
