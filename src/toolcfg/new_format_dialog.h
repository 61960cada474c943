#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "common/line_reader.h"
#include "framework/dialog.h"
#include "image/flash_image.h"
#include "support/command_runner.h"
#include "support/messages.h"
#include "toolcfg/prepare.h"
#include "toolcfg/tool_config.h"

namespace nuv::toolcfg {

// The New Format dialog: the holder of the new-format flow's state. The
// main form makes one per Parse of a new-format image; the object exists
// before its window does, because the embedded script is extracted and
// parsed into it first. It owns the tool-config model, the runner of the
// external programs and the paths and block picks that its controls show.
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

  // The new-format Parse up to the parsed model: clears the model, then
  // extracts the image's own script (or takes the user's script, for an
  // expert in internal mode), parses it against the working block table
  // and removes what the extraction left. Every failure has been shown
  // through `messages` when it returns.
  PrepareResult PrepareToolConfig(const image::FlashImage& image, const ToolConfigSource& source,
                                  Messages& messages);

  // The loaded image whose blocks the flow works on: the main form's, which
  // outlives the dialog. Until one is attached the commands find no blocks.
  void AttachImage(image::FlashImage& image) { image_ = &image; }

  // Writes the parsed configuration to the workbook ("preset.xls" in the
  // current directory) and hands it to the user; 1 on success, 0 on failure
  // (its message has been shown).
  int ExportWorkbook(Messages& messages);

  // The rest of the new-format Parse once the workbook exists: the window
  // is made from its template, owned by `parent`, and shown; in internal
  // mode the Block Save and Block Load sections are shown and their block
  // lists filled. False when the window cannot be made.
  bool Open(fw::Window* parent, bool internal_mode);

  // Shows (or hides) the Block Save and Block Load sections.
  void ShowBlockTools(bool show);
  // Both block lists: the working table's names, cut to 8 characters, in
  // table order (entry k is record k); the first entry selected.
  void FillBlockCombos();

  ToolConfig& model() { return model_; }
  const ToolConfig& model() const { return model_; }
  CommandRunner& runner() { return *runner_; }
  common::LineReader& line_reader() { return line_reader_; }

  const std::string& output_flash_path() const { return output_flash_path_; }
  const std::string& workbook_path() const { return workbook_path_; }

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

  ToolConfig model_;
  common::LineReader line_reader_;
  std::string output_flash_path_;  // target of Save New Flash (edit 2000)
  std::string workbook_path_;      // "<current directory>\preset.xls" once exported
  std::string save_block_name_;    // picked in combo 2060
  std::unique_ptr<CommandRunner> runner_;
  uint8_t save_block_id_ = 0;       // 0 until a block is picked
  std::string save_block_id_text_;  // "0x%x" of the id (edit 2064)
  std::string save_block_path_;     // edit 2058
  std::string load_block_name_;     // picked in combo 2071
  uint8_t load_block_id_ = 0;
  std::string load_block_id_text_;      // edit 2075
  std::string load_block_path_;         // edit 2069
  image::FlashImage* image_ = nullptr;  // not owned: the main form's
};

}  // namespace nuv::toolcfg
