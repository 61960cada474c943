#pragma once

// The Windows API for the Win32 backend's sources. Include it after every
// framework header: the framework names its constants and members as
// Windows does (WS_VISIBLE, IDOK, MessageBox, DrawText), and <windows.h>
// makes macros of those names. After this header the constants are Windows'
// own macros, of the same values, and the names of the text functions that
// the framework's members share are free again: call their ...W forms.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <commdlg.h>

#undef DrawText
#undef GetOpenFileName
#undef GetWindowText
#undef MessageBox
#undef SetWindowText
