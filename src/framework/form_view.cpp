#include "framework/form_view.h"

#include "framework/dialog_builder.h"
#include "framework/dialog_message.h"
#include "framework/module.h"

namespace nuv::fw {

constinit const RuntimeClass FormView::kClass{"FormView", nullptr};

FormView::~FormView() {
  DestroyWindow();
}

const RuntimeClass& FormView::GetRuntimeClass() const {
  return kClass;
}

bool FormView::Create(uint32_t style, const Rect& rect, Window* parent, uint32_t id) {
  const DialogTemplate* found = ModuleRegistry::FindTemplate(template_id_);
  if (found == nullptr || parent == nullptr || IsWindow())
    return false;
  const uint32_t window_style = (style | WS_CHILD) & ~WS_VISIBLE;
  if (!CreateEx(0, WindowKind::Form, "", window_style, rect, parent, id))
    return false;
  CreateTemplateControls(*this, *found);
  OnInitialUpdate();
  if ((style & WS_VISIBLE) != 0 && IsWindow())
    ShowWindow(SW_SHOW);
  return IsWindow();
}

bool FormView::PreTranslateMessage(const Msg& msg) {
  return IsDialogMessage(*this, msg);
}

void FormView::OnInitialUpdate() {
  UpdateData(false);
}

}  // namespace nuv::fw
