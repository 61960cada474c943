#include "framework/dialog.h"

#include "framework/dialog_builder.h"
#include "framework/dialog_message.h"
#include "framework/message_map.h"
#include "framework/module.h"

namespace nuv::fw {

constinit const RuntimeClass Dialog::kClass{"Dialog", &CreateInstance<Dialog>};

Dialog::~Dialog() {
  DestroyWindow();
}

const RuntimeClass& Dialog::GetRuntimeClass() const {
  return kClass;
}

const MessageMap& Dialog::ClassMessageMap() {
  static const MessageMap map(&Window::ClassMessageMap(),
                              {
                                  OnClicked(IDOK, &Dialog::OnOK),
                                  OnClicked(IDCANCEL, &Dialog::OnCancel),
                              });
  return map;
}

const MessageMap& Dialog::GetMessageMap() const {
  return ClassMessageMap();
}

bool Dialog::Create(uint32_t template_id, Window* parent) {
  const DialogTemplate* found = ModuleRegistry::FindTemplate(template_id);
  if (found == nullptr || IsWindow())
    return false;
  template_id_ = template_id;
  const Size size = TemplateClientSize(*found);
  const uint32_t style = found->style & ~WS_VISIBLE;
  if (!CreateEx(found->ex_style, WindowKind::Dialog, found->caption, style,
                {0, 0, size.cx, size.cy}, parent, 0))
    return false;
  CreateTemplateControls(*this, *found);
  OnInitDialog();
  if ((found->style & WS_VISIBLE) != 0 && IsWindow())
    ShowWindow(SW_SHOW);
  return IsWindow();
}

void Dialog::EndDialog(int result) {
  result_ = result;
  ShowWindow(SW_HIDE);
}

bool Dialog::PreTranslateMessage(const Msg& msg) {
  return IsDialogMessage(*this, msg);
}

bool Dialog::OnInitDialog() {
  return UpdateData(false);
}

void Dialog::OnOK() {
  if (UpdateData(true))
    EndDialog(IDOK);
}

void Dialog::OnCancel() {
  EndDialog(IDCANCEL);
}

}  // namespace nuv::fw
