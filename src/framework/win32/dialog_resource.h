#pragma once

// Uses the Windows API's own types: include after every framework header.
#include <cstdint>

#include "framework/win32/windows_api.h"

namespace nuv::fw::win32 {

// Makes a modeless dialog from the DIALOG or DIALOGEX resource `id` of
// `module`, as CreateDialogParamW does, but hidden whatever the template
// says: the framework shows its windows when it is ready. Null when the
// module holds no such resource or the system refused it.
HWND CreateDialogFromResource(HINSTANCE module, uint32_t id, HWND parent, DLGPROC procedure);

}  // namespace nuv::fw::win32
