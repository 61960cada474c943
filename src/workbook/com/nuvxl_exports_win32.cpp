// nuvxl.dll: the stand-in spreadsheet application as an in-process COM
// server, for Windows machines without a spreadsheet application (and the
// Wine prefixes of our tests). `regsvr32 nuvxl.dll` registers it for every
// user, `regsvr32 /n /i:user nuvxl.dll` (or `nuvhost --register-spreadsheet`)
// for the current user only.
#include <string>

#include "platform/wide_text.h"
#include "workbook/automation_registry.h"
#include "workbook/standin_application.h"

#include "workbook/com/com_server_win32.h"
#include "workbook/com/server_registration_win32.h"

#include <olectl.h>

namespace {

using namespace nuv::workbook;

// The full path of this library, which the registry entry points to.
std::wstring ModulePath() {
  HMODULE module = nullptr;
  if (!GetModuleHandleExW(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          reinterpret_cast<LPCWSTR>(&ModulePath), &module))
    return {};
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0)
      return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

// The stand-in asks before SaveAs replaces a file, as a spreadsheet
// application asks its user: in a box of its own, Yes or No.
bool AskUser(std::string_view text) {
  const std::wstring wide = nuv::platform::ToWide(text);
  return MessageBoxW(nullptr, wide.c_str(), L"nuvxl", MB_YESNO | MB_ICONQUESTION) == IDYES;
}

DispatchRef MakeApplication() {
  SetServerQuestion(&AskUser);
  return CreateStandInApplication();
}

com::RegistrationScope ScopeOf(LPCWSTR command_line) {
  return command_line != nullptr && _wcsicmp(command_line, L"user") == 0
             ? com::RegistrationScope::kUser
             : com::RegistrationScope::kMachine;
}

HRESULT Register(com::RegistrationScope scope) {
  const std::wstring path = ModulePath();
  return path.empty() ? SELFREG_E_CLASS : com::RegisterStandInServer(scope, path);
}

}  // namespace

extern "C" {

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* out) {
  if (out == nullptr)
    return E_POINTER;
  *out = nullptr;
  if (!IsEqualCLSID(clsid, com::kStandInClsid))
    return CLASS_E_CLASSNOTAVAILABLE;
  return com::OfferClass(&MakeApplication)->QueryInterface(iid, out);
}

STDAPI DllCanUnloadNow() {
  return com::ServerInUse() ? S_FALSE : S_OK;
}

STDAPI DllRegisterServer() {
  return Register(com::RegistrationScope::kMachine);
}

STDAPI DllUnregisterServer() {
  return com::UnregisterStandInServer(com::RegistrationScope::kMachine);
}

// regsvr32 /i:user (with /n: without DllRegisterServer) registers for the
// current user only.
STDAPI DllInstall(BOOL install, LPCWSTR command_line) {
  const com::RegistrationScope scope = ScopeOf(command_line);
  return install ? Register(scope) : com::UnregisterStandInServer(scope);
}

}  // extern "C"
