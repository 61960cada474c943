#include "legacy/customer_config_dialog.h"

#include <array>

#include "framework/constants.h"
#include "framework/data_exchange.h"
#include "framework/file_dialog.h"
#include "framework/message_map.h"
#include "legacy/field_edit_dialog.h"
#include "legacy/generate.h"
#include "resource.h"
#include "support/open_file_dialog.h"
#include "support/window_messages.h"

namespace nuv::legacy {
namespace {

// System filters: NUL-terminated text and pattern pairs; the literal's own
// terminator is the empty text that ends them.
constexpr char kConfigFilter[] = "bin files (*.bin)\0*.bin\0All Files (*.*)\0*.*\0";
constexpr char kKeyFilter[] = "pub files (*.pub)\0*.pub\0All Files (*.*)\0*.*\0";
constexpr std::string_view kOutputFilter = "bin files (*.bin)|*.bin|All Files (*.*)|*.*||";

// The single-byte patch and its caution: for experts only.
constexpr std::array<uint32_t, 5> kExpertControls = {
    IDC_CFG_ADDRESS_LABEL, IDC_CFG_ADDRESS, IDC_CFG_BYTE_LABEL, IDC_CFG_BYTE, IDC_CFG_CAUTION};

constexpr uint32_t kButtonStyle = fw::WS_VISIBLE | fw::WS_TABSTOP | fw::BS_PUSHBUTTON;
constexpr uint32_t kLabelStyle = fw::WS_VISIBLE | fw::SS_CENTER | fw::SS_SUNKEN;
constexpr uint32_t kPathStyle =
    fw::WS_VISIBLE | fw::ES_READONLY | fw::ES_AUTOHSCROLL | fw::ES_WANTRETURN;

// One line of block buttons or rows: its bottom is at y, 25 pixels below
// the line before; the first line's bottom is at 32.
constexpr int kFirstLine = 32;
constexpr int kLineHeight = 25;
constexpr int kLineTall = 22;

}  // namespace

constinit const fw::RuntimeClass NuvSubDialog::kClass{"NuvSubDialog",
                                                      &fw::CreateInstance<NuvSubDialog>};

NuvSubDialog::NuvSubDialog() : fw::Dialog(IDD_CUSTOMER_CONFIG) {}

NuvSubDialog::NuvSubDialog(LegacyWorkspace workspace)
    : fw::Dialog(IDD_CUSTOMER_CONFIG), workspace_(std::move(workspace)) {}

NuvSubDialog::~NuvSubDialog() {
  // The window goes while the members its handlers use still exist.
  DestroyWindow();
}

const fw::RuntimeClass& NuvSubDialog::GetRuntimeClass() const {
  return kClass;
}

const fw::MessageMap& NuvSubDialog::GetMessageMap() const {
  static const fw::MessageMap map(
      &fw::Dialog::ClassMessageMap(),
      {
          fw::OnClickedRange(kFirstBlockButton, kFirstBlockButton + kAnswered - 1,
                             &NuvSubDialog::OpenBlock),
          fw::OnClickedRange(kFirstRowBrowse, kFirstRowBrowse + kAnswered - 1,
                             &NuvSubDialog::BrowseRow),
          fw::OnChangeRange(kFirstRowPath, kFirstRowPath + 19, &NuvSubDialog::IgnoreChange),
          fw::OnChange(IDC_CFG_OUTPUT_PATH, &NuvSubDialog::IgnoreChange),
          fw::OnClicked(IDC_CFG_GENERATE, &NuvSubDialog::Generate),
          fw::OnClicked(IDC_CFG_BACK, &NuvSubDialog::Back),
          fw::OnClicked(IDC_CFG_OUTPUT_BROWSE, &NuvSubDialog::BrowseOutput),
          fw::OnClicked(IDC_CFG_CONFIG_BROWSE, &NuvSubDialog::BrowseConfig),
          fw::OnClicked(IDC_CFG_KEY_BROWSE, &NuvSubDialog::BrowseKey),
      });
  return map;
}

void NuvSubDialog::DoDataExchange(fw::DataExchange& dx) {
  fw::DDX_Text(dx, IDC_CFG_OUTPUT_PATH, output_path_);
  fw::DDX_Text(dx, IDC_CFG_CONFIG_PATH, config_path_);
  fw::DDX_Text(dx, IDC_CFG_KEY_PATH, key_path_);
  fw::DDX_Text(dx, IDC_CFG_ADDRESS, flash_address_);
  fw::DDX_Text(dx, IDC_CFG_BYTE, byte_value_);
  if (!row_paths_)
    TakeBlocks();
  // Every exchange makes again what Generate destroyed, so that a stopped
  // Generate leaves a dialog that still works.
  MakeMissingControls();
  for (size_t r = 0; r < rows_.size() && r < row_paths_->size(); ++r)
    fw::DDX_Text(dx, rows_[r].path_id, (*row_paths_)[r]);
  const image::FlashImage* image = workspace_.image();
  const bool expert = image != nullptr && image->expert;
  for (const uint32_t id : kExpertControls) {
    if (fw::Window* control = GetDlgItem(id))
      control->ShowWindow(expert ? fw::SW_SHOW : fw::SW_HIDE);
  }
}

void NuvSubDialog::TakeBlocks() {
  const LegacyBlockList* list = workspace_.list();
  const std::vector<size_t> buttons = list != nullptr ? ButtonBlocks(*list) : std::vector<size_t>();
  const std::vector<size_t> rows = list != nullptr ? RowBlocks(*list) : std::vector<size_t>();
  block_button_count_ = static_cast<uint32_t>(buttons.size());
  row_count_ = list != nullptr ? list->count() - block_button_count_ : 0;
  row_paths_.emplace(row_count_);
  if (list == nullptr)
    return;
  generation_ = list->generation();
  for (const size_t index : buttons)
    buttons_.push_back(list->Handle(index));
  for (size_t r = 0; r < rows.size(); ++r)
    rows_.push_back({list->Handle(rows[r]), kFirstRowPath + static_cast<uint32_t>(r)});
}

void NuvSubDialog::MakeMissingControls() {
  // A dialog of an earlier parse gives the blocks of a later one no
  // controls.
  LegacyBlockList* list = workspace_.list();
  if (list == nullptr || generation_ != list->generation())
    return;
  const auto make = [this](fw::WindowKind kind, std::string_view text, uint32_t style,
                           const fw::Rect& rect, uint32_t id, uint32_t ex_style = 0) {
    if (GetDlgItem(id) != nullptr)
      return false;
    if (fw::Window* control = CreateControl(kind, text, style, rect, id, ex_style))
      control->SetFont(GetFont());
    return true;
  };
  int y = kFirstLine;
  for (size_t k = 0; k < buttons_.size(); ++k, y += kLineHeight) {
    ScriptBlock* block = list->Find(buttons_[k]);
    const uint32_t id = kFirstBlockButton + static_cast<uint32_t>(k);
    if (block != nullptr &&
        make(fw::WindowKind::Button, block->name, kButtonStyle, {150, y - kLineTall, 400, y}, id))
      block->control_id = id;
  }
  for (size_t r = 0; r < rows_.size(); ++r, y += kLineHeight) {
    ScriptBlock* block = list->Find(rows_[r].block);
    if (block == nullptr)
      continue;
    const auto offset = static_cast<uint32_t>(r);
    const uint32_t path_id = rows_[r].path_id;
    make(fw::WindowKind::Static, block->name, kLabelStyle, {40, y - kLineTall, 140, y},
         kFirstRowLabel + offset);
    // A row made again after Generate placed its file starts without one.
    if (make(fw::WindowKind::Edit, "", kPathStyle, {150, y - kLineTall, 400, y}, path_id,
             fw::WS_EX_STATICEDGE) &&
        r < row_paths_->size())
      (*row_paths_)[r].clear();
    make(fw::WindowKind::Button, "....", kButtonStyle, {410, y - kLineTall, 500, y},
         kFirstRowBrowse + offset);
    block->control_id = path_id;
  }
}

void NuvSubDialog::OpenBlock(uint32_t id) {
  // The block is the one this dialog made the button for, as long as it
  // still carries the button's id: after a later parse it names nothing.
  const size_t k = id - kFirstBlockButton;
  const LegacyBlockList* list = workspace_.list();
  const ScriptBlock* block = nullptr;
  if (list != nullptr && k < buttons_.size())
    block = list->Find(buttons_[k]);
  if (block == nullptr || block->control_id != id) {
    if (NuvNewButtonDialog* open = NuvNewButtonDialog::Current())
      open->ShowWindow(fw::SW_SHOW);
    return;
  }
  NuvNewButtonDialog::Open(*this, workspace_, buttons_[k]);
}

void NuvSubDialog::BrowseRow(uint32_t id) {
  fw::FileDialog dialog(true, "", "", fw::OFN_HIDEREADONLY | fw::OFN_OVERWRITEPROMPT, "", nullptr);
  if (dialog.DoModal() != static_cast<int>(fw::IDOK))
    return;
  UpdateData(true);
  const size_t r = id - kFirstRowBrowse;
  if (row_paths_ && r < row_paths_->size())
    (*row_paths_)[r] = dialog.GetPathName();
  UpdateData(false);
}

void NuvSubDialog::BrowseOutput() {
  fw::FileDialog dialog(true, "", "", fw::OFN_HIDEREADONLY | fw::OFN_OVERWRITEPROMPT, kOutputFilter,
                        this);
  if (dialog.DoModal() != static_cast<int>(fw::IDOK))
    return;
  UpdateData(true);
  output_path_ = dialog.GetPathName();
  UpdateData(false);
}

void NuvSubDialog::BrowseConfig() {
  // The path stays set even when the file cannot be read: Generate tells.
  ChooseFileToRead(*this, FilterText(kConfigFilter), config_path_);
}

void NuvSubDialog::BrowseKey() {
  ChooseFileToRead(*this, FilterText(kKeyFilter), key_path_);
}

void NuvSubDialog::Generate() {
  UpdateData(true);
  image::FlashImage* image = workspace_.image();
  LegacyBlockList* list = workspace_.list();
  if (image == nullptr || list == nullptr || !row_paths_)
    return;
  GenerateRequest request{output_path_, config_path_, key_path_,  flash_address_,
                          byte_value_,  {},           generation_};
  // The rows whose controls remain, in row order, with their path edits.
  std::vector<uint32_t> path_ids;
  for (size_t r = 0; r < rows_.size(); ++r) {
    const Row& row = rows_[r];
    if (GetDlgItem(row.path_id) == nullptr) {
      DestroyRow(row.path_id);
      continue;
    }
    request.rows.push_back({row.block, r < row_paths_->size() ? (*row_paths_)[r] : ""});
    path_ids.push_back(row.path_id);
  }

  WindowMessages messages(*this);
  const GenerateOutcome outcome = legacy::Generate(*image, *list, request, messages);
  tail_size_ = outcome.tail_size;
  if (outcome.started)
    DestroyBlockButtons();
  for (size_t i = 0; i < outcome.rows_done && i < path_ids.size(); ++i)
    DestroyRow(path_ids[i]);
  if (outcome.result == GenerateResult::kWritten)
    Close(static_cast<int>(fw::IDOK));
}

void NuvSubDialog::Back() {
  DestroyBlockButtons();
  for (uint32_t r = 0; r < row_count_; ++r)
    DestroyRow(kFirstRowPath + r);
  Close(static_cast<int>(fw::IDCANCEL));
}

void NuvSubDialog::OnOK() {}

void NuvSubDialog::OnCancel() {
  Back();
}

void NuvSubDialog::Close(int result) {
  // As the framework ends a dialog: with OK the texts are taken first.
  if (result == static_cast<int>(fw::IDOK))
    UpdateData(true);
  EndDialog(result);
  row_paths_.reset();
  // Nothing uses a closed Customer Config dialog again (the next parse
  // makes a new one): its window goes, and with it a field edit dialog it
  // opened, whose edits are discarded as by Cancel.
  DestroyWindow();
}

void NuvSubDialog::DestroyBlockButtons() {
  for (uint32_t k = 0; k < block_button_count_; ++k)
    DestroyControl(kFirstBlockButton + k);
}

void NuvSubDialog::DestroyRow(uint32_t path_id) {
  DestroyControl(path_id);
  DestroyControl(path_id - kFirstRowPath + kFirstRowLabel);
  DestroyControl(path_id - kFirstRowPath + kFirstRowBrowse);
}

void NuvSubDialog::DestroyControl(uint32_t id) {
  if (fw::Window* control = GetDlgItem(id))
    control->DestroyWindow();
}

}  // namespace nuv::legacy
