#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "framework/dialog.h"
#include "image/flash_image.h"
#include "support/command_runner.h"
#include "support/messages.h"
#include "toolcfg/line_reader.h"
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
  void DoDataExchange(fw::DataExchange& dx) override;

  // The new-format Parse up to the parsed model: clears the model, then
  // extracts the image's own script (or takes the user's script, for an
  // expert in internal mode), parses it against the working block table
  // and removes what the extraction left. Every failure has been shown
  // through `messages` when it returns.
  PrepareResult PrepareToolConfig(const image::FlashImage& image, const ToolConfigSource& source,
                                  Messages& messages);

  ToolConfig& model() { return model_; }
  const ToolConfig& model() const { return model_; }
  CommandRunner& runner() { return *runner_; }
  LineReader& line_reader() { return line_reader_; }

  const std::string& output_flash_path() const { return output_flash_path_; }
  const std::string& workbook_path() const { return workbook_path_; }

 private:
  ToolConfig model_;
  LineReader line_reader_;
  std::string output_flash_path_;  // target of Save New Flash (edit 2000)
  std::string workbook_path_;      // "<current directory>\preset.xls" once exported
  std::unique_ptr<CommandRunner> runner_;
  std::string save_block_id_text_;  // "0x%x" of the id (edit 2064)
  std::string save_block_path_;     // edit 2058
  std::string load_block_id_text_;  // edit 2075
  std::string load_block_path_;     // edit 2069
};

}  // namespace nuv::toolcfg
