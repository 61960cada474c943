#include "described_fields_dialog.h"

#include <string>
#include <utility>

#include "framework/constants.h"
#include "legacy/field_edit.h"

namespace nuv::test {

constinit const fw::RuntimeClass DescribedFieldsDialog::kClass{"NuvNewButtonDialog", nullptr};

const fw::RuntimeClass& DescribedFieldsDialog::GetRuntimeClass() const {
  return kClass;
}

bool DescribedFieldsDialog::Open(const std::vector<legacy::ScriptField>& fields,
                                 fw::Window* owner) {
  if (!CreateEx(0, fw::WindowKind::Dialog, "Described", fw::WS_POPUP | fw::WS_VISIBLE,
                {0, 0, 800, 600}, owner, 0))
    return false;
  tip.Create(this);
  tip.SetActive(true);
  tip.SetMaxWidth(kTipWidth);
  tip.SetBackgroundColour(kTipBackground);
  for (size_t i = 0; i < fields.size(); ++i) {
    const int left = 220 * static_cast<int>(i % 4);
    const int top = 25 * static_cast<int>(i / 4) + 10;
    const auto index = static_cast<uint32_t>(i);
    CreateControl(fw::WindowKind::Static, fields[i].name,
                  fw::WS_VISIBLE | fw::SS_CENTER | fw::SS_SUNKEN,
                  {left + 10, top, left + 100, top + 20}, kFirstLabel + index);
    fw::Window* input = CreateControl(
        fw::WindowKind::Edit, "", fw::WS_VISIBLE | fw::ES_AUTOHSCROLL | fw::ES_WANTRETURN,
        {left + 115, top, left + 227, top + 20}, kFirstInput + index, fw::WS_EX_CLIENTEDGE);
    if (input == nullptr || !tip.AddTool(input, legacy::TipText(fields[i])))
      return false;
  }
  return true;
}

legacy::ScriptField DescribedField(std::string name, std::string description) {
  legacy::ScriptField field;
  field.name = std::move(name);
  field.description = std::move(description);
  return field;
}

}  // namespace nuv::test
