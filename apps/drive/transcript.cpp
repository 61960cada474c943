#include "transcript.h"

#include "framework/button.h"
#include "framework/combo_box.h"
#include "framework/constants.h"
#include "framework/scroll_area.h"
#include "framework/window.h"

namespace nuv::drive {

std::string TranscriptText(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
        ++i;
      out += "\\n";
    } else {
      out += c;
    }
  }
  return out;
}

std::string RectText(const fw::Rect& rect) {
  return "@" + std::to_string(rect.left) + "," + std::to_string(rect.top) + "," +
         std::to_string(rect.right) + "," + std::to_string(rect.bottom);
}

std::string ControlLine(const fw::Window& control, fw::Point offset) {
  std::string line = "control " + std::to_string(control.GetDlgCtrlID()) + " " +
                     std::string(fw::KindName(control.kind())) + " \"" +
                     TranscriptText(control.GetWindowText()) + "\"";
  if (!control.IsWindowEnabled())
    line += " disabled";
  if (const auto* button = dynamic_cast<const fw::Button*>(&control);
      button != nullptr && control.kind() == fw::WindowKind::CheckBox && button->GetCheck() != 0)
    line += " checked";
  if (const auto* combo = dynamic_cast<const fw::ComboBox*>(&control);
      combo != nullptr && combo->GetCurSel() >= 0)
    line += " sel=" + std::to_string(combo->GetCurSel());
  return line + " " + RectText(control.rect().Offset(offset.x, offset.y));
}

std::string AreaLines(const fw::ScrollArea& area) {
  const fw::Rect& place = area.rect();
  std::string lines;
  if (area.CanScroll())
    lines += "area " + std::to_string(area.GetDlgCtrlID()) +
             " pos=" + std::to_string(area.scroll_pos()) +
             " max=" + std::to_string(area.ScrollLimit()) + " " + RectText(place) + "\n";
  const fw::Rect view = area.GetClientRect();
  for (const fw::Window* child : area.children()) {
    if (fw::IsControl(child->kind()) && (child->GetStyle() & fw::WS_VISIBLE) != 0 &&
        child->rect().Intersects(view))
      lines += ControlLine(*child, place.TopLeft()) + "\n";
  }
  return lines;
}

}  // namespace nuv::drive
