#pragma once

#include "framework/dialog_template.h"
#include "framework/geometry.h"

namespace nuv::fw {

class Window;

// The pixel size of a template's client area.
Size TemplateClientSize(const DialogTemplate& dialog_template);

// Makes the template's controls in `host` (which must exist), in template
// order, placed in pixels converted from dialog units, each with the
// template's font, which `host` takes too.
void CreateTemplateControls(Window& host, const DialogTemplate& dialog_template);

}  // namespace nuv::fw
