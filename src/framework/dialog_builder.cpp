#include "framework/dialog_builder.h"

#include "framework/dialog_units.h"
#include "framework/window.h"

namespace nuv::fw {

Size TemplateClientSize(const DialogTemplate& dialog_template) {
  const Rect pixels = TemplateRectToPixels(0, 0, dialog_template.cx, dialog_template.cy);
  return {pixels.Width(), pixels.Height()};
}

void CreateTemplateControls(Window& host, const DialogTemplate& dialog_template) {
  const Font font = dialog_template.font.ToFont();
  host.SetFont(font, false);
  for (const ControlTemplate& control : dialog_template.controls) {
    const Rect rect = TemplateRectToPixels(control.x, control.y, control.cx, control.cy);
    if (Window* made = host.CreateControl(control.kind, control.text, control.style, rect,
                                          control.id, control.ex_style))
      made->SetFont(font, false);
  }
}

}  // namespace nuv::fw
