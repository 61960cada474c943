#include "framework/dialog_message.h"

#include "framework/constants.h"
#include "framework/window.h"

namespace nuv::fw {
namespace {

uint32_t DefaultButtonId(const Window& dialog) {
  for (const Window* child : dialog.children()) {
    if (child->kind() == WindowKind::Button &&
        (child->GetStyle() & BS_TYPEMASK) == BS_DEFPUSHBUTTON && child->IsWindowVisible() &&
        child->IsWindowEnabled())
      return child->GetDlgCtrlID();
  }
  return IDOK;
}

}  // namespace

bool IsDialogMessage(Window& dialog, const Msg& msg) {
  if (msg.message != WM_KEYDOWN)
    return false;
  if (msg.wparam == VK_ESCAPE) {
    dialog.OnCommand(IDCANCEL, BN_CLICKED);
    return true;
  }
  if (msg.wparam == VK_RETURN) {
    const Window* target = msg.target;
    if (target != nullptr && target->kind() == WindowKind::Edit &&
        (target->GetStyle() & ES_WANTRETURN) != 0)
      return false;
    dialog.OnCommand(DefaultButtonId(dialog), BN_CLICKED);
    return true;
  }
  return false;
}

}  // namespace nuv::fw
