#include "framework/combo_box.h"

namespace nuv::fw {

constinit const RuntimeClass ComboBox::kClass{"ComboBox", &CreateInstance<ComboBox>};

const RuntimeClass& ComboBox::GetRuntimeClass() const {
  return kClass;
}

int ComboBox::AddString(std::string_view text) {
  items_.emplace_back(text);
  Changed(Change::Items);
  return GetCount() - 1;
}

void ComboBox::ResetContent() {
  items_.clear();
  Changed(Change::Items);
  SetCurSel(kError);
}

int ComboBox::SetCurSel(int index) {
  const bool valid = index >= 0 && index < GetCount();
  const int selection = valid ? index : kError;
  if (selection != selection_) {
    selection_ = selection;
    Changed(Change::Selection);
  }
  SetWindowText(valid ? items_[static_cast<size_t>(index)] : std::string());
  return selection_;
}

std::string ComboBox::GetLBText(int index) const {
  if (index < 0 || index >= GetCount())
    return {};
  return items_[static_cast<size_t>(index)];
}

}  // namespace nuv::fw
