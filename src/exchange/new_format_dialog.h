#pragma once

#include <cstdint>
#include <string>

#include "exchange/exchange.h"
#include "exchange/open_new_format.h"
#include "framework/dialog.h"
#include "image/flash_image.h"
#include "support/messages.h"

namespace nuv::exchange {

// The New Format dialog: the holder of the new-format flow's state. The
// main form makes one per Parse of a new-format image; the object exists
// before its window does, because the flow's first operation (the script
// extracted and parsed, the workbook written) fills it first. It owns the
// flow's session and the paths and block picks that its controls show, and
// maps the outcomes of the flow's operations to its controls.
//
// The class keeps the name the host's framework knows it by.
class nuvnewfmtdlg : public fw::Dialog {
 public:
  nuvnewfmtdlg();
  ~nuvnewfmtdlg() override;

  static const fw::RuntimeClass kClass;
  const fw::RuntimeClass& GetRuntimeClass() const override;
  const fw::MessageMap& GetMessageMap() const override;
  void DoDataExchange(fw::DataExchange& dx) override;

  // The new-format Parse of the main form's `image`, which outlives the
  // dialog: OpenNewFormat, its messages in `messages`; when it opened, the
  // window is made from its template, owned by `parent`, and shown, and in
  // internal mode the Block Save and Block Load sections are shown and
  // their block lists filled. kNotOpened when the flow stopped or the
  // window could not be made.
  enum class OpenResult { kOpened, kNotOpened };
  [[nodiscard]] OpenResult Open(image::FlashImage& image, const ToolConfigSource& source,
                                fw::Window* parent, Messages& messages);

  // Shows (or hides) the Block Save and Block Load sections.
  void ShowBlockTools(bool show);
  // Both block lists: the working table's names, cut to 8 characters, in
  // table order (entry k is record k); the first entry selected.
  void FillBlockCombos();

 private:
  // Command handlers.
  void SaveNewFlash();
  void BrowseOutputFlash();
  void SelectSaveBlock();
  void BrowseSaveBlock();
  void SaveBlock();
  void SelectLoadBlock();
  void BrowseLoadBlock();
  void LoadBlock();

  // The .bin file dialog of the three Browse buttons: the chosen path goes
  // to `target` and the controls are refreshed.
  void BrowseBin(bool open, std::string& target);
  // The picked block of a list: its text and the working record's id.
  void PickBlock(uint32_t combo_id, std::string& name, uint8_t& id, std::string& id_text);

  NewFormatSession session_;
  std::string output_flash_path_;   // target of Save New Flash (edit 2000)
  std::string workbook_path_;       // where Open saved the workbook
  std::string save_block_name_;     // picked in combo 2060
  uint8_t save_block_id_ = 0;       // 0 until a block is picked
  std::string save_block_id_text_;  // "0x%x" of the id (edit 2064)
  std::string save_block_path_;     // edit 2058
  std::string load_block_name_;     // picked in combo 2071
  uint8_t load_block_id_ = 0;
  std::string load_block_id_text_;  // edit 2075
  std::string load_block_path_;     // edit 2069
  // The main form's, from Open on: a dialog made by its runtime class alone
  // has no image, and its commands do nothing.
  image::FlashImage* image_ = nullptr;
};

}  // namespace nuv::exchange
