#pragma once

// Entering the stand-in spreadsheet application into the system registry as
// "Excel.Application", so that CoCreateInstance finds it where no
// spreadsheet application is installed.

#include <string>

#include "workbook/com/com_handles_win32.h"

namespace nuv::workbook::com {

// For every user of the machine (HKEY_CLASSES_ROOT, which needs an
// administrator on Windows), or for the current user only
// (HKEY_CURRENT_USER\Software\Classes).
enum class RegistrationScope { kMachine, kUser };

// Registers the in-process server in `dll_path` under kStandInClsid, with
// the ProgID "Excel.Application". Refuses with SELFREG_E_CLASS, changing
// nothing, when "Excel.Application" already names another class: the
// user's own spreadsheet application is never replaced.
HRESULT RegisterStandInServer(RegistrationScope scope, const std::wstring& dll_path);

// Removes what RegisterStandInServer entered; "Excel.Application" only while
// it names the stand-in.
HRESULT UnregisterStandInServer(RegistrationScope scope);

}  // namespace nuv::workbook::com
