#include "legacy/field_edit_dialog.h"

#include <algorithm>
#include <memory>

#include "framework/combo_box.h"
#include "framework/constants.h"
#include "framework/message_map.h"
#include "framework/window_ref.h"
#include "legacy/field_bits.h"
#include "resource.h"
#include "support/window_messages.h"

namespace nuv::legacy {
namespace {

// The one field edit dialog; empty when none exists, which it turns by
// itself when the dialog's window goes (OK, Cancel, or its owner closing).
fw::WindowRef<NuvNewButtonDialog> g_current;

constexpr uint32_t kLabelStyle = fw::WS_VISIBLE | fw::SS_CENTER | fw::SS_SUNKEN;
constexpr uint32_t kEditStyle =
    fw::WS_VISIBLE | fw::WS_TABSTOP | fw::ES_AUTOHSCROLL | fw::ES_WANTRETURN;
constexpr uint32_t kListStyle =
    fw::WS_VISIBLE | fw::WS_TABSTOP | fw::WS_VSCROLL | fw::CBS_DROPDOWNLIST;

// Four fields to a line, 220 pixels apart, lines 25 pixels apart.
constexpr int kColumns = 4;
constexpr int kColumnWidth = 220;
constexpr int kLineHeight = 25;

fw::Rect LabelRect(size_t field) {
  const int c = static_cast<int>(field % kColumns);
  const int l = static_cast<int>(field / kColumns);
  return {kColumnWidth * c + 10, kLineHeight * l + 10, kColumnWidth * c + 100,
          kLineHeight * l + 30};
}

fw::Rect InputRect(size_t field) {
  const int c = static_cast<int>(field % kColumns);
  const int l = static_cast<int>(field / kColumns);
  return {kColumnWidth * c + 115, kLineHeight * l + 10, kColumnWidth * c + 227,
          kLineHeight * l + 30};
}

}  // namespace

constinit const fw::RuntimeClass NuvNewButtonDialog::kClass{
    "NuvNewButtonDialog", &fw::CreateInstance<NuvNewButtonDialog>};

NuvNewButtonDialog::NuvNewButtonDialog() : fw::Dialog(IDD_FIELD_EDIT) {}

NuvNewButtonDialog::NuvNewButtonDialog(LegacyWorkspace workspace, BlockHandle block)
    : fw::Dialog(IDD_FIELD_EDIT), workspace_(std::move(workspace)), block_(block) {}

NuvNewButtonDialog::~NuvNewButtonDialog() {
  // The window (and the tip's, which it owns) goes while the members its
  // handlers use still exist.
  DestroyWindow();
}

const fw::RuntimeClass& NuvNewButtonDialog::GetRuntimeClass() const {
  return kClass;
}

const fw::MessageMap& NuvNewButtonDialog::GetMessageMap() const {
  // OK (1) and Cancel (2) go to OnOK and OnCancel through the dialog's map.
  static const fw::MessageMap map(&fw::Dialog::ClassMessageMap(), {});
  return map;
}

NuvNewButtonDialog* NuvNewButtonDialog::Current() {
  return g_current.get();
}

void NuvNewButtonDialog::Open(fw::Window& owner, LegacyWorkspace workspace, BlockHandle block) {
  if (NuvNewButtonDialog* open = Current(); open != nullptr && open->block_ == block) {
    open->ShowWindow(fw::SW_SHOW);
    return;
  }
  const image::FlashImage* image = workspace.image();
  const LegacyBlockList* list = workspace.list();
  const ScriptBlock* target = list != nullptr ? list->Find(block) : nullptr;
  if (image == nullptr || target == nullptr)
    return;
  // A block whose fields have no place in the image (no legacy entry
  // carries its block id, or the entry's data lies outside the image) is
  // refused here, with its message, rather than shown as a dialog whose OK
  // could never write.
  WindowMessages messages(owner);
  if (!FindBlockBase(*image, *target, messages))
    return;
  if (NuvNewButtonDialog* other = Current())
    other->DestroyWindow();
  const std::string title = target->name;
  auto dialog = std::make_unique<NuvNewButtonDialog>(std::move(workspace), block);
  NuvNewButtonDialog& made = *dialog;
  if (!made.Create(IDD_FIELD_EDIT, &owner))
    return;
  g_current = fw::WindowRef<NuvNewButtonDialog>(&made);
  // The owner keeps the object for as long as the dialog's window exists.
  owner.Adopt(std::move(dialog));
  made.SetWindowText(title);
  made.ShowWindow(fw::SW_SHOW);
}

void NuvNewButtonDialog::DoDataExchange(fw::DataExchange& /*dx*/) {
  // The fields are read once, when the dialog is set up; OK reads its
  // inputs itself.
  if (loaded_)
    return;
  loaded_ = true;
  image::FlashImage* image = workspace_.image();
  LegacyBlockList* list = workspace_.list();
  if (image == nullptr || list == nullptr)
    return;
  ScriptBlock* block = list->Find(block_);
  if (block == nullptr)
    return;
  WindowMessages messages(*this);
  if (block->em == kDescribedFieldBlock)
    SetUpTip();
  sheet_ = LoadFields(*image, *list, block_, messages);
  MakeControls(*block);
}

void NuvNewButtonDialog::SetUpTip() {
  // Without a tip window the dialog works all the same, untipped.
  static_cast<void>(tip_.Create(this));
  tip_.SetActive(true);
  tip_.SetMaxWidth(kTipWidth);
  tip_.SetBackgroundColour(kTipBackground);
}

void NuvNewButtonDialog::MakeControls(ScriptBlock& block) {
  const size_t count = std::min(sheet_.fields.size(), block.fields.size());
  for (size_t i = 0; i < count; ++i) {
    ScriptField& field = block.fields[i];
    const FieldView& view = sheet_.fields[i];
    const uint32_t label_id = kFirstLabel + static_cast<uint32_t>(i);
    const uint32_t input_id = kFirstInput + static_cast<uint32_t>(i);
    if (GetDlgItem(label_id) == nullptr) {
      if (fw::Window* label = CreateControl(fw::WindowKind::Static, field.name, kLabelStyle,
                                            LabelRect(i), label_id))
        label->SetFont(GetFont());
    }
    field.control_id = input_id;
    if (GetDlgItem(input_id) != nullptr || view.input == FieldInput::kNone)
      continue;
    fw::Window* input = nullptr;
    if (view.input == FieldInput::kList) {
      input = CreateControl(fw::WindowKind::ComboBox, "", kListStyle, InputRect(i), input_id);
      if (auto* combo = dynamic_cast<fw::ComboBox*>(input)) {
        for (const uint32_t item : view.items)
          combo->AddString(std::to_string(item));
        // A field that stopped the set-up shows no value.
        if (view.writable)
          combo->SetCurSel(static_cast<int>(view.selected));
      }
    } else {
      input = CreateControl(fw::WindowKind::Edit, view.text, kEditStyle, InputRect(i), input_id,
                            fw::WS_EX_CLIENTEDGE);
    }
    if (input == nullptr)
      continue;
    input->SetFont(GetFont());
    if (tip_.IsWindow())
      static_cast<void>(tip_.AddTool(input, TipText(field)));
  }
}

bool NuvNewButtonDialog::PreTranslateMessage(const fw::Msg& msg) {
  // The tip of a described block sees every message first; nothing else in
  // the dialog depends on it.
  if (tip_.IsWindow())
    tip_.RelayEvent(msg);
  return fw::Dialog::PreTranslateMessage(msg);
}

void NuvNewButtonDialog::OnOK() {
  image::FlashImage* image = workspace_.image();
  LegacyBlockList* list = workspace_.list();
  WindowMessages messages(*this);
  std::vector<FieldAnswer> answers(sheet_.fields.size());
  for (size_t i = 0; i < answers.size(); ++i) {
    const fw::Window* input = GetDlgItem(kFirstInput + static_cast<uint32_t>(i));
    if (input == nullptr)
      continue;
    if (const auto* combo = dynamic_cast<const fw::ComboBox*>(input))
      answers[i].selected = static_cast<size_t>(std::max(combo->GetCurSel(), 0));
    else
      answers[i].text = input->GetWindowText();
  }
  // Without the form there is nothing to write to; a list that was parsed
  // again is refused by StoreFields with its message. Either way the
  // dialog stays, and Cancel closes it.
  if (image == nullptr || list == nullptr ||
      StoreFields(*image, *list, sheet_, answers, messages) != StoreResult::kStored)
    return;
  DestroyWindow();
}

void NuvNewButtonDialog::OnCancel() {
  DestroyWindow();
}

}  // namespace nuv::legacy
