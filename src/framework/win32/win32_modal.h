#pragma once

// Uses the Windows API's own types: include after every framework header.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "framework/backend.h"
#include "framework/win32/windows_api.h"

namespace nuv::fw::win32 {

// The system's message box, owned by `owner` (none for the application's):
// IDOK, or IDYES or IDNO for MB_YESNO.
int ShowMessageBox(HWND owner, std::string_view caption, std::string_view text, uint32_t type);

// The system's open or save dialog with the request's filter, initial name,
// default extension and OFN_* options; the path chosen, or nothing when the
// user cancelled.
std::optional<std::string> ShowFileDialog(HWND owner, const FileDialogRequest& request);

// For a program that answers the system's boxes itself, from within their
// modal loop:
// Types `path` into a file dialog's name box and presses its OK; false when
// the dialog has no name box.
bool TypeIntoFileDialog(HWND dialog, std::string_view path);
// Closes a system box: a file dialog cancelled, a message box by its
// default button.
void CloseSystemBox(HWND box, bool file_dialog);

}  // namespace nuv::fw::win32
