#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "framework/font.h"
#include "framework/window_kind.h"

namespace nuv::rc {

// A control as the script declares it; position and size in dialog units.
struct ScriptControl {
  uint32_t id = 0;
  fw::WindowKind kind = fw::WindowKind::Static;
  std::string text;
  uint32_t style = 0;
  uint32_t ex_style = 0;
  int x = 0;
  int y = 0;
  int cx = 0;
  int cy = 0;
};

// A dialog as the script declares it, with the styles the resource
// compiler adds (a caption's, a font's).
struct ScriptDialog {
  uint32_t id = 0;
  uint32_t style = 0;
  uint32_t ex_style = 0;
  std::string caption;
  fw::Font font;
  int x = 0;
  int y = 0;
  int cx = 0;
  int cy = 0;
  std::vector<ScriptControl> controls;  // in creation order
};

// The dialogs of a resource script, or why it could not be read.
struct ResourceScript {
  std::vector<ScriptDialog> dialogs;
  std::string error;  // empty when the whole script was read

  bool ok() const { return error.empty(); }
};

// Reads a Windows resource script (.rc) whose ids come from `header` (its
// resource.h). Understood: DIALOG and DIALOGEX blocks with STYLE, EXSTYLE,
// CAPTION and FONT; the controls LTEXT, CTEXT, RTEXT, EDITTEXT, PUSHBUTTON,
// DEFPUSHBUTTON, GROUPBOX, CHECKBOX, AUTOCHECKBOX, COMBOBOX and CONTROL with
// the classes Button, Static, Edit and ComboBox; style lists with '|' and
// NOT (which takes bits away from the statement's default style, as the
// resource compiler does); #include and #pragma lines, which are passed
// over. Anything else stops the reading with an error that names the file
// and the line.
ResourceScript LoadResourceScript(std::string_view script, std::string_view header,
                                  std::string_view script_name = "resource script",
                                  std::string_view header_name = "resource header");

}  // namespace nuv::rc
