#pragma once

#include "framework/msg.h"

namespace nuv::fw {

class Window;

// The keyboard handling of a dialog or form (as Win32's IsDialogMessage):
// Escape sends the cancel command (IDCANCEL) to `dialog`; Return sends the
// command of its enabled default push button, or IDOK when it has none,
// unless the key went to an edit that accepts Return. True when the message
// was used.
bool IsDialogMessage(Window& dialog, const Msg& msg);

}  // namespace nuv::fw
