#include "framework/window_kind.h"

namespace nuv::fw {

bool IsControl(WindowKind kind) {
  switch (kind) {
    case WindowKind::Static:
    case WindowKind::Edit:
    case WindowKind::Button:
    case WindowKind::CheckBox:
    case WindowKind::GroupBox:
    case WindowKind::ComboBox:
      return true;
    case WindowKind::Frame:
    case WindowKind::Form:
    case WindowKind::Dialog:
    case WindowKind::Popup:
    case WindowKind::ScrollArea:
      return false;
  }
  return false;
}

std::string_view KindName(WindowKind kind) {
  switch (kind) {
    case WindowKind::Frame:
      return "frame";
    case WindowKind::Form:
      return "form";
    case WindowKind::Dialog:
      return "dialog";
    case WindowKind::Popup:
      return "popup";
    case WindowKind::ScrollArea:
      return "area";
    case WindowKind::Static:
      return "static";
    case WindowKind::Edit:
      return "edit";
    case WindowKind::Button:
      return "button";
    case WindowKind::CheckBox:
      return "check";
    case WindowKind::GroupBox:
      return "group";
    case WindowKind::ComboBox:
      return "combo";
  }
  return "window";
}

}  // namespace nuv::fw
