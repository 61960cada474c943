#include "plugin/nuv_dialog.h"

#include <array>

#include "framework/button.h"
#include "framework/data_exchange.h"
#include "framework/file_dialog.h"
#include "framework/message_map.h"
#include "image/config_export.h"
#include "image/pre_parse.h"
#include "legacy/customer_config_dialog.h"
#include "legacy/script_parser.h"
#include "plugin/host_settings.h"
#include "resource.h"
#include "support/open_file_dialog.h"
#include "support/window_messages.h"

namespace nuv::plugin {
namespace {

// System filters: NUL-terminated text and pattern pairs; the literal's own
// terminator is the empty text that ends them.
constexpr char kBinFilter[] = "bin files (*.bin)\0*.bin\0All Files (*.*)\0*.*\0";
constexpr char kCfgFilter[] = "cfg files (*.cfg)\0*.cfg\0All Files (*.*)\0*.*\0";
constexpr std::string_view kOutputFilter = "cfg bin files (*.bin)|*.bin|All Files (*.*)|*.*||";

// What Pre-Parse shows for both kinds and Cancel hides again.
constexpr std::array<uint32_t, 18> kParsedSections = {
    IDC_FORM_HEADER_GROUP, IDC_FORM_SDRAM_LABEL,  IDC_FORM_SDRAM_SIZE,     IDC_FORM_FLASH_LABEL,
    IDC_FORM_FLASH_SIZE,   IDC_FORM_BLOCKS_LABEL, IDC_FORM_BLOCK_NUMBER,   IDC_FORM_VERSION_LABEL,
    IDC_FORM_SW_VERSION,   IDC_FORM_BLOCK_GROUP,  IDC_FORM_COLUMN_ID,      IDC_FORM_COLUMN_SIZE,
    IDC_FORM_COLUMN_CRC,   IDC_FORM_COLUMN_NAME,  IDC_FORM_COLUMN_VERSION, IDC_FORM_COLUMN_TIME,
    IDC_FORM_PARSE_GROUP,  IDC_FORM_PARSE,
};
// "Open Script File": for experts.
constexpr std::array<uint32_t, 3> kScriptRow = {IDC_FORM_SCRIPT_LABEL, IDC_FORM_SCRIPT_PATH,
                                                IDC_FORM_SCRIPT_BROWSE};
// "Export Configs": legacy images only.
constexpr std::array<uint32_t, 5> kExportSection = {IDC_FORM_EXPORT_GROUP, IDC_FORM_OUTPUT_LABEL,
                                                    IDC_FORM_OUTPUT_BROWSE, IDC_FORM_EXPORT,
                                                    IDC_FORM_OUTPUT_PATH};

constexpr std::array<TipTool, 4> kTipTools = {{
    {IDC_FORM_SOURCE_PATH, "Select a flash binary file for edit."},
    {IDC_FORM_PREPARSE, "Pre-parse the flash binary to check its validity."},
    {IDC_FORM_CLEAR, "Clear the current selected file."},
    {IDC_FORM_EXPERTS_ONLY, "It's only for experts, customers should not check it."},
}};

}  // namespace

constinit const fw::RuntimeClass NuvDialog::kClass{"NuvDialog", &fw::CreateInstance<NuvDialog>};

NuvDialog::NuvDialog()
    : fw::FormView(IDD_NUV_FORM), grid_(IDC_FORM_BLOCK_GROUP, IDC_FORM_COLUMN_ID) {}

NuvDialog::~NuvDialog() {
  // The window and its cells go while the members they refer to still exist.
  DestroyWindow();
}

const fw::RuntimeClass& NuvDialog::GetRuntimeClass() const {
  return kClass;
}

const fw::MessageMap& NuvDialog::GetMessageMap() const {
  static const fw::MessageMap map(
      &fw::FormView::ClassMessageMap(),
      {
          fw::OnClicked(IDC_FORM_SOURCE_BROWSE, &NuvDialog::BrowseSource),
          fw::OnClicked(IDC_FORM_PREPARSE, &NuvDialog::PreParse),
          fw::OnChange(IDC_FORM_SOURCE_PATH, &NuvDialog::IgnoreChange),
          fw::OnChange(IDC_FORM_SDRAM_SIZE, &NuvDialog::IgnoreChange),
          fw::OnChange(IDC_FORM_FLASH_SIZE, &NuvDialog::IgnoreChange),
          fw::OnChange(IDC_FORM_BLOCK_NUMBER, &NuvDialog::IgnoreChange),
          fw::OnClicked(IDC_FORM_CLEAR, &NuvDialog::ClearImage),
          fw::OnClicked(IDC_FORM_SCRIPT_BROWSE, &NuvDialog::BrowseScript),
          fw::OnClicked(IDC_FORM_PARSE, &NuvDialog::Parse),
          fw::OnClicked(IDC_FORM_OUTPUT_BROWSE, &NuvDialog::BrowseOutput),
          fw::OnClicked(IDC_FORM_EXPORT, &NuvDialog::ExportConfig),
      });
  return map;
}

void NuvDialog::DoDataExchange(fw::DataExchange& dx) {
  fw::DDX_Text(dx, IDC_FORM_SOURCE_PATH, source_path_);
  // The SDRAM size is kept unsigned and shown signed.
  auto sdram_size = static_cast<int32_t>(image_.sdram_size);
  fw::DDX_Text(dx, IDC_FORM_SDRAM_SIZE, sdram_size);
  if (dx.saving())
    image_.sdram_size = static_cast<uint32_t>(sdram_size);
  fw::DDX_Text(dx, IDC_FORM_FLASH_SIZE, image_.flash_size);
  fw::DDX_Text(dx, IDC_FORM_BLOCK_NUMBER, image_.block_number);
  fw::DDX_Text(dx, IDC_FORM_SW_VERSION, image_.software_version);
  fw::DDX_Text(dx, IDC_FORM_SCRIPT_PATH, image_.script_path);
  fw::DDX_Text(dx, IDC_FORM_OUTPUT_PATH, output_path_);
}

bool NuvDialog::PreTranslateMessage(const fw::Msg& msg) {
  // The balloon tip, once it exists, sees every message first; nothing
  // else on the form depends on it.
  if (tip_.IsWindow())
    tip_.RelayEvent(msg);
  return fw::FormView::PreTranslateMessage(msg);
}

NuvDialog::CreateResult NuvDialog::Create(uint32_t style, const fw::Rect& rect, fw::Window* parent,
                                          uint32_t id) {
  const bool created = fw::FormView::Create(style, rect, parent, id);
  // The tips: without the form's window there is no tip window and no
  // control to register, and the rest of the set-up goes on all the same.
  static_cast<void>(tip_.Create(this));
  tip_.SetActive(true);
  tip_.SetMaxWidth(kTipWidth);
  tip_.SetBackgroundColour(kTipBackground);
  for (const TipTool& tool : kTipTools)
    static_cast<void>(tip_.AddTool(GetDlgItem(tool.control_id), tool.text));
  const HostSettings settings = ReadHostSettings();
  settings_path_ = settings.settings_path;
  internal_mode_ = settings.internal_mode;
  return created ? CreateResult::kCreated : CreateResult::kNoWindow;
}

std::span<const TipTool> NuvDialog::TipTools() {
  return kTipTools;
}

bool NuvDialog::ExpertsChecked() const {
  const auto* box = GetDlgItemAs<fw::Button>(IDC_FORM_EXPERTS_ONLY);
  return box != nullptr && box->GetCheck() != 0;
}

void NuvDialog::ShowControls(std::span<const uint32_t> ids, bool show) {
  for (const uint32_t id : ids) {
    if (fw::Window* control = GetDlgItem(id))
      control->ShowWindow(show ? fw::SW_SHOW : fw::SW_HIDE);
  }
}

void NuvDialog::EnableControl(uint32_t id, bool enable) {
  if (fw::Window* control = GetDlgItem(id))
    control->EnableWindow(enable);
}

void NuvDialog::BrowseForFile(std::string_view filter, std::string& target) {
  ChooseFileToRead(*this, filter, target);
}

void NuvDialog::BrowseSource() {
  BrowseForFile(FilterText(kBinFilter), source_path_);
}

void NuvDialog::BrowseScript() {
  BrowseForFile(FilterText(kCfgFilter), image_.script_path);
}

void NuvDialog::BrowseOutput() {
  fw::FileDialog dialog(true, "", "", fw::OFN_HIDEREADONLY | fw::OFN_OVERWRITEPROMPT, kOutputFilter,
                        this);
  if (dialog.DoModal() != static_cast<int>(fw::IDOK))
    return;
  UpdateData(true);
  output_path_ = dialog.GetPathName();
  UpdateData(false);
}

void NuvDialog::PreParse() {
  CloseImageDialogs();
  WindowMessages messages(*this);
  const image::PreParseRequest request{source_path_, ExpertsChecked(), internal_mode_};
  const image::PreParseOutcome outcome = image::PreParse(image_, request, messages);
  if (outcome.result != image::PreParseResult::kParsed)
    return;
  for (size_t row = 0; row < outcome.rows.size(); ++row)
    grid_.FillRow(*this, row, outcome.rows[row]);
  if (outcome.show_script_row)
    ShowControls(kScriptRow, true);
  if (outcome.show_export_section)
    ShowControls(kExportSection, true);
  ShowControls(kParsedSections, true);
  EnableControl(IDC_FORM_PREPARSE, false);
  EnableControl(IDC_FORM_SOURCE_BROWSE, false);
  UpdateData(false);
}

void NuvDialog::ClearImage() {
  UpdateData(true);
  // The software version and the numbers keep their values; their controls
  // are hidden.
  source_path_.clear();
  image_.script_path.clear();
  output_path_.clear();
  ShowControls(kParsedSections, false);
  // The script row is hidden only when the last Pre-Parse was an expert's.
  if (image_.expert)
    ShowControls(kScriptRow, false);
  ShowControls(kExportSection, false);
  EnableControl(IDC_FORM_PREPARSE, true);
  EnableControl(IDC_FORM_SOURCE_BROWSE, true);
  grid_.Clear();
  CloseImageDialogs();
  image_.Release();
  legacy::FreeScriptBlocks(script_blocks_);
  UpdateData(false);
}

void NuvDialog::Parse() {
  if (image_.kind == image::ImageKind::NewFormat)
    ParseNewFormat();
  else
    ParseLegacyScript();
}

void NuvDialog::ParseLegacyScript() {
  WindowMessages messages(*this);
  if (legacy::ParseLegacyScript(image_, script_blocks_, messages).open_customer_config())
    OpenCustomerConfig();
}

void NuvDialog::OpenCustomerConfig() {
  // An earlier Customer Config dialog stays as it is: its blocks were
  // released with the old list, and the handles it holds name nothing now.
  auto dialog = std::make_unique<legacy::NuvSubDialog>(
      legacy::LegacyWorkspace(*this, image_, script_blocks_));
  legacy::NuvSubDialog& made = *dialog;
  if (!made.Create(IDD_CUSTOMER_CONFIG, this))
    return;
  // The form keeps the dialog for as long as the dialog's window exists.
  Adopt(std::move(dialog));
  std::erase_if(customer_configs_, [](const auto& open) { return open.expired(); });
  customer_configs_.emplace_back(&made);
}

void NuvDialog::CloseImageDialogs() {
  // A field edit dialog is owned by its Customer Config dialog and goes
  // with it.
  for (const fw::WindowRef<legacy::NuvSubDialog>& open : customer_configs_) {
    if (legacy::NuvSubDialog* dialog = open.get())
      dialog->DestroyWindow();
  }
  customer_configs_.clear();
  new_format_dialogs_.clear();
}

void NuvDialog::ParseNewFormat() {
  auto dialog = std::make_unique<exchange::nuvnewfmtdlg>();
  WindowMessages messages(*this);
  const exchange::ToolConfigSource source{internal_mode_, ExpertsChecked(), image_.script_path};
  // A dialog that did not open is not used any more; one that did lives on
  // by itself, and the form only keeps the object.
  if (dialog->Open(image_, source, this, messages) == exchange::nuvnewfmtdlg::OpenResult::kOpened)
    new_format_dialogs_.push_back(std::move(dialog));
}

void NuvDialog::ExportConfig() {
  WindowMessages messages(*this);
  // A refusal has been shown; the form stays as it is either way.
  static_cast<void>(image::ExportConfigRegion(image_, output_path_, messages));
}

}  // namespace nuv::plugin
