#include "framework/button.h"

namespace nuv::fw {

constinit const RuntimeClass Button::kClass{"Button", &CreateInstance<Button>};

const RuntimeClass& Button::GetRuntimeClass() const {
  return kClass;
}

void Button::SetCheck(int check) {
  check = check != 0 ? 1 : 0;
  if (check == check_)
    return;
  check_ = check;
  Changed(Change::Check);
}

bool Button::IsAutoCheckBox() const {
  return kind() == WindowKind::CheckBox && (GetStyle() & BS_TYPEMASK) == BS_AUTOCHECKBOX;
}

void Button::OnInput(const Msg& msg) {
  if (kind() == WindowKind::GroupBox || !IsWindowEnabled())
    return;
  if (msg.message == WM_LBUTTONDOWN) {
    pressed_ = true;
  } else if (msg.message == WM_LBUTTONUP && pressed_) {
    pressed_ = false;
    if (IsAutoCheckBox())
      SetCheck(check_ == 0 ? 1 : 0);
    NotifyParent(BN_CLICKED);
  }
}

}  // namespace nuv::fw
