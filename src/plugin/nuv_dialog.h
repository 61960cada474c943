#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/new_format_dialog.h"
#include "framework/form_view.h"
#include "framework/window_ref.h"
#include "image/flash_image.h"
#include "legacy/script_model.h"
#include "plugin/cell_grid.h"
#include "support/balloon_tip.h"

namespace nuv::legacy {
class NuvSubDialog;
}

namespace nuv::plugin {

// A control of the form that carries a balloon tip, with its text.
struct TipTool {
  uint32_t control_id;
  std::string_view text;
};

// The NUV page: the one form the host shows. The user picks a flash image,
// pre-parses it, and then parses its configuration (legacy script beside
// the image, or the script embedded in a new-format image) or exports a
// legacy image's configuration region. Cancel returns the page to its first
// state.
//
// The form owns what the flows work on, and the dialogs reach it through
// the single form instance (TheForm()): the loaded FlashImage, the legacy
// block list of the last legacy parse, and the New Format dialog objects
// (one per new-format Parse that opened its dialog).
class NuvDialog : public fw::FormView {
 public:
  NuvDialog();
  ~NuvDialog() override;

  static const fw::RuntimeClass kClass;
  const fw::RuntimeClass& GetRuntimeClass() const override;
  const fw::MessageMap& GetMessageMap() const override;
  void DoDataExchange(fw::DataExchange& dx) override;
  bool PreTranslateMessage(const fw::Msg& msg) override;

  // Creates the form's window from template 5 as a child of `parent`, sets
  // up its tips and reads the host settings (internal mode), the last two
  // whether or not the window could be made. kNoWindow when the window
  // could not be made.
  enum class CreateResult { kCreated, kNoWindow };
  [[nodiscard]] CreateResult Create(uint32_t style, const fw::Rect& rect, fw::Window* parent,
                                    uint32_t id);

  // The controls that carry balloon tips, and their texts.
  static std::span<const TipTool> TipTools();

  // --- what the other windows of the tool read and change ---
  image::FlashImage& flash_image() { return image_; }
  const image::FlashImage& flash_image() const { return image_; }
  legacy::LegacyBlockList& script_blocks() { return script_blocks_; }
  const legacy::LegacyBlockList& script_blocks() const { return script_blocks_; }
  bool internal_mode() const { return internal_mode_; }
  // ".\quon.ini" when the host's settings file was found, else empty.
  const std::string& settings_path() const { return settings_path_; }
  const std::string& source_path() const { return source_path_; }
  const std::string& output_path() const { return output_path_; }
  // The "Experts Only" check box as it is now (not the expert flag of the
  // last Pre-Parse, which the image keeps).
  bool ExpertsChecked() const;
  const CellGrid& grid() const { return grid_; }

 private:
  // Command handlers.
  void BrowseSource();
  void PreParse();
  void ClearImage();
  void BrowseScript();
  void Parse();
  void BrowseOutput();
  void ExportConfig();
  // Text changes of the path and number edits need nothing done.
  void IgnoreChange() {}

  // The two flows of Parse.
  void ParseLegacyScript();
  void ParseNewFormat();
  // After a successful legacy parse: a new Customer Config dialog over the
  // new block list, owned by the form and shown.
  void OpenCustomerConfig();
  // Cancel and Pre-Parse release the image: the dialogs that work on it
  // (Customer Config with its field edit dialog, New Format) go with it.
  void CloseImageDialogs();

  // The open-file dialog for a source or script file: the chosen path goes
  // to `target`, and a file that cannot be opened for reading is reported.
  void BrowseForFile(std::string_view filter, std::string& target);
  void ShowControls(std::span<const uint32_t> ids, bool show);
  void EnableControl(uint32_t id, bool enable);

  std::string source_path_;
  std::string output_path_;
  std::string settings_path_;
  bool internal_mode_ = false;
  image::FlashImage image_;
  legacy::LegacyBlockList script_blocks_;
  CellGrid grid_;
  std::vector<std::unique_ptr<exchange::nuvnewfmtdlg>> new_format_dialogs_;
  // The Customer Config dialogs of this image's parses; the form's window
  // owns them.
  std::vector<fw::WindowRef<legacy::NuvSubDialog>> customer_configs_;
  // Its window is made by Create, owned by the form's window.
  BalloonTip tip_;
};

}  // namespace nuv::plugin
