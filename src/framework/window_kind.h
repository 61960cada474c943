#pragma once

#include <string_view>

namespace nuv::fw {

// What a window is. Controls are the kinds a dialog template can hold; the
// others are the windows that hold them.
enum class WindowKind {
  Frame,       // a plain top-level window: the host's page
  Form,        // a form view, a child of the host's page
  Dialog,      // a dialog made from a template
  Popup,       // a custom-painted pop-up window
  ScrollArea,  // a child window whose controls scroll (ScrollArea)
  Static,      // text label
  Edit,        // single-line edit
  Button,      // push button
  CheckBox,    // automatic check box
  GroupBox,    // frame with a caption around other controls
  ComboBox,    // drop-down or drop-down list
};

bool IsControl(WindowKind kind);

// The word for the kind: "static", "edit", "button", "check", "group",
// "combo", "form", "dialog", "popup", "area", "frame".
std::string_view KindName(WindowKind kind);

}  // namespace nuv::fw
