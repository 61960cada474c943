#include "exchange/new_format_dialog.h"

#include <array>
#include <cstdio>

#include "exchange/save_new_flash.h"
#include "framework/combo_box.h"
#include "framework/constants.h"
#include "framework/data_exchange.h"
#include "framework/file_dialog.h"
#include "framework/message_map.h"
#include "resource.h"
#include "support/window_messages.h"
#include "toolcfg/block_file.h"

namespace nuv::exchange {
namespace {

constexpr std::string_view kBinFilter = "BIN files(*.bin)|*.bin|All   files   (*.*)|*.*||";

// The Block Save and Block Load sections, which only internal mode shows.
constexpr std::array<uint32_t, 18> kBlockTools = {
    IDC_NEW_SAVE_GROUP,      IDC_NEW_SAVE_SELECT_LABEL, IDC_NEW_SAVE_BLOCK_COMBO,
    IDC_NEW_SAVE_ID_LABEL,   IDC_NEW_SAVE_BLOCK_ID,     IDC_NEW_SAVE_BIN_LABEL,
    IDC_NEW_SAVE_BLOCK_PATH, IDC_NEW_SAVE_BLOCK_BROWSE, IDC_NEW_SAVE_BLOCK,
    IDC_NEW_LOAD_GROUP,      IDC_NEW_LOAD_SELECT_LABEL, IDC_NEW_LOAD_BLOCK_COMBO,
    IDC_NEW_LOAD_ID_LABEL,   IDC_NEW_LOAD_BLOCK_ID,     IDC_NEW_LOAD_BIN_LABEL,
    IDC_NEW_LOAD_BLOCK_PATH, IDC_NEW_LOAD_BLOCK_BROWSE, IDC_NEW_LOAD_BLOCK};

constexpr size_t kComboNameLength = 8;

}  // namespace

constinit const fw::RuntimeClass nuvnewfmtdlg::kClass{"nuvnewfmtdlg",
                                                      &fw::CreateInstance<nuvnewfmtdlg>};

nuvnewfmtdlg::nuvnewfmtdlg() : fw::Dialog(IDD_NEW_FORMAT) {}

nuvnewfmtdlg::~nuvnewfmtdlg() {
  // The window goes first, while the members its handlers use still exist;
  // the session's runner then ends a program that may still be running.
  DestroyWindow();
}

const fw::RuntimeClass& nuvnewfmtdlg::GetRuntimeClass() const {
  return kClass;
}

const fw::MessageMap& nuvnewfmtdlg::GetMessageMap() const {
  // "Back" (id 2) and Escape stay with the dialog's own cancel, which hides
  // the window and keeps the object.
  static const fw::MessageMap map(
      &fw::Dialog::ClassMessageMap(),
      {
          fw::OnClicked(IDC_NEW_SAVE_FLASH, &nuvnewfmtdlg::SaveNewFlash),
          fw::OnClicked(IDC_NEW_OUTPUT_BROWSE, &nuvnewfmtdlg::BrowseOutputFlash),
          fw::OnSelChange(IDC_NEW_SAVE_BLOCK_COMBO, &nuvnewfmtdlg::SelectSaveBlock),
          fw::OnClicked(IDC_NEW_SAVE_BLOCK_BROWSE, &nuvnewfmtdlg::BrowseSaveBlock),
          fw::OnClicked(IDC_NEW_SAVE_BLOCK, &nuvnewfmtdlg::SaveBlock),
          fw::OnSelChange(IDC_NEW_LOAD_BLOCK_COMBO, &nuvnewfmtdlg::SelectLoadBlock),
          fw::OnClicked(IDC_NEW_LOAD_BLOCK_BROWSE, &nuvnewfmtdlg::BrowseLoadBlock),
          fw::OnClicked(IDC_NEW_LOAD_BLOCK, &nuvnewfmtdlg::LoadBlock),
      });
  return map;
}

void nuvnewfmtdlg::DoDataExchange(fw::DataExchange& dx) {
  fw::DDX_Text(dx, IDC_NEW_OUTPUT_PATH, output_flash_path_);
  fw::DDX_Text(dx, IDC_NEW_SAVE_BLOCK_ID, save_block_id_text_);
  fw::DDX_Text(dx, IDC_NEW_SAVE_BLOCK_PATH, save_block_path_);
  fw::DDX_Text(dx, IDC_NEW_LOAD_BLOCK_ID, load_block_id_text_);
  fw::DDX_Text(dx, IDC_NEW_LOAD_BLOCK_PATH, load_block_path_);
}

nuvnewfmtdlg::OpenResult nuvnewfmtdlg::Open(image::FlashImage& image,
                                            const ToolConfigSource& source, fw::Window* parent,
                                            Messages& messages) {
  image_ = &image;
  const OpenNewFormatOutcome outcome = OpenNewFormat(image, session_, {source}, messages);
  if (outcome.result != OpenNewFormatResult::kOpened)
    return OpenResult::kNotOpened;
  workbook_path_ = outcome.workbook_path;
  if (!Create(IDD_NEW_FORMAT, parent))
    return OpenResult::kNotOpened;
  ShowWindow(fw::SW_SHOW);
  if (source.internal_mode) {
    ShowBlockTools(true);
    FillBlockCombos();
  }
  return OpenResult::kOpened;
}

void nuvnewfmtdlg::ShowBlockTools(bool show) {
  for (const uint32_t id : kBlockTools) {
    if (fw::Window* control = GetDlgItem(id))
      control->ShowWindow(show ? fw::SW_SHOW : fw::SW_HIDE);
  }
}

void nuvnewfmtdlg::FillBlockCombos() {
  auto* save = GetDlgItemAs<fw::ComboBox>(IDC_NEW_SAVE_BLOCK_COMBO);
  auto* load = GetDlgItemAs<fw::ComboBox>(IDC_NEW_LOAD_BLOCK_COMBO);
  for (fw::ComboBox* combo : {save, load}) {
    if (combo == nullptr)
      continue;
    combo->ResetContent();
    if (image_ != nullptr) {
      for (const image::BlockRecord& record : image_->table.records)
        combo->AddString(record.entry.name().substr(0, kComboNameLength));
    }
    combo->SetCurSel(0);
  }
}

void nuvnewfmtdlg::BrowseBin(bool open, std::string& target) {
  fw::FileDialog dialog(open, "bin", "*.bin", fw::OFN_HIDEREADONLY | fw::OFN_OVERWRITEPROMPT,
                        kBinFilter, this);
  if (dialog.DoModal() != static_cast<int>(fw::IDOK))
    return;
  target = dialog.GetPathName();
  UpdateData(false);
}

void nuvnewfmtdlg::BrowseOutputFlash() {
  BrowseBin(false, output_flash_path_);
}

void nuvnewfmtdlg::BrowseSaveBlock() {
  BrowseBin(false, save_block_path_);
}

void nuvnewfmtdlg::BrowseLoadBlock() {
  BrowseBin(true, load_block_path_);
}

void nuvnewfmtdlg::PickBlock(uint32_t combo_id, std::string& name, uint8_t& id,
                             std::string& id_text) {
  const auto* combo = GetDlgItemAs<fw::ComboBox>(combo_id);
  if (combo == nullptr)
    return;
  const int k = combo->GetCurSel();
  name = combo->GetLBText(k);
  // Entry k is record k of the working table as the lists were filled.
  if (image_ != nullptr && k >= 0 && static_cast<size_t>(k) < image_->table.records.size())
    id = image_->table.records[static_cast<size_t>(k)].entry.block_id();
  std::array<char, 8> text{};
  std::snprintf(text.data(), text.size(), "0x%x", static_cast<unsigned>(id));
  id_text = text.data();
  UpdateData(false);
}

void nuvnewfmtdlg::SelectSaveBlock() {
  PickBlock(IDC_NEW_SAVE_BLOCK_COMBO, save_block_name_, save_block_id_, save_block_id_text_);
}

void nuvnewfmtdlg::SelectLoadBlock() {
  PickBlock(IDC_NEW_LOAD_BLOCK_COMBO, load_block_name_, load_block_id_, load_block_id_text_);
}

void nuvnewfmtdlg::SaveBlock() {
  if (image_ == nullptr)
    return;
  WindowMessages messages(*this);
  // Its boxes say how it went; the controls stay as they are.
  static_cast<void>(toolcfg::SaveBlockFile(*image_, save_block_name_, save_block_id_,
                                           save_block_path_, messages));
}

void nuvnewfmtdlg::LoadBlock() {
  if (image_ == nullptr)
    return;
  WindowMessages messages(*this);
  static_cast<void>(toolcfg::LoadBlockFile(*image_, load_block_name_, load_block_id_,
                                           load_block_path_, messages));
}

void nuvnewfmtdlg::SaveNewFlash() {
  if (image_ == nullptr)
    return;
  WindowMessages messages(*this);
  const auto end_attempts = [this] {
    for (const uint32_t id : {IDC_NEW_OUTPUT_BROWSE, IDC_NEW_SAVE_FLASH}) {
      if (fw::Window* button = GetDlgItem(id))
        button->EnableWindow(false);
    }
  };
  // One attempt per dialog: the workbook is gone after it.
  const SaveNewFlashRequest request{output_flash_path_, workbook_path_, true, end_attempts};
  // Every outcome has been shown in its box; the buttons went when the
  // attempt began.
  static_cast<void>(exchange::SaveNewFlash(*image_, session_, request, messages));
}

}  // namespace nuv::exchange
