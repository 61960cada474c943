#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "framework/dialog_template.h"

namespace nuv::fw {

// The dialog templates of a resource script, or why it could not be read.
struct ResourceScript {
  std::vector<DialogTemplate> dialogs;
  std::string error;  // empty when the whole script was read

  bool ok() const { return error.empty(); }
  const DialogTemplate* Find(uint32_t id) const;
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

}  // namespace nuv::fw
