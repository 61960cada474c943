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
  // A second click in quick succession arrives as a double click; a button
  // takes it as another press. The release clicks only over the button: a
  // user who slides off before letting go has changed their mind.
  if (msg.message == WM_LBUTTONDOWN || msg.message == WM_LBUTTONDBLCLK) {
    pressed_ = true;
  } else if (msg.message == WM_LBUTTONUP && pressed_) {
    pressed_ = false;
    if (!GetClientRect().Contains(msg.pt))
      return;
    if (IsAutoCheckBox())
      SetCheck(check_ == 0 ? 1 : 0);
    NotifyParent(BN_CLICKED);
  }
}

}  // namespace nuv::fw
