#include "workbook/com/server_registration_win32.h"

#include <optional>
#include <string_view>

#include "platform/wide_text.h"
#include "workbook/automation_registry.h"

#include "workbook/com/com_server_win32.h"

#include <olectl.h>

namespace nuv::workbook::com {
namespace {

constexpr std::wstring_view kDescription = L"NUV stand-in spreadsheet application";

std::wstring ClassText() {
  wchar_t text[64] = {};
  StringFromGUID2(kStandInClsid, text, 64);
  return text;
}

class RegistryKey {
 public:
  RegistryKey() = default;
  ~RegistryKey() {
    if (key_ != nullptr)
      RegCloseKey(key_);
  }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  HKEY get() const { return key_; }
  HKEY* Receive() { return &key_; }

 private:
  HKEY key_ = nullptr;
};

// The folder under which classes are entered for the scope.
LSTATUS OpenClasses(RegistrationScope scope, RegistryKey& classes) {
  if (scope == RegistrationScope::kMachine)
    return RegOpenKeyExW(HKEY_CLASSES_ROOT, nullptr, 0, KEY_ALL_ACCESS, classes.Receive());
  return RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Classes", 0, nullptr, 0, KEY_ALL_ACCESS,
                         nullptr, classes.Receive(), nullptr);
}

LSTATUS SetText(HKEY root, const std::wstring& path, const wchar_t* name, std::wstring_view value) {
  RegistryKey key;
  LSTATUS status = RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                   key.Receive(), nullptr);
  if (status != ERROR_SUCCESS)
    return status;
  const std::wstring text(value);
  return RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

// The class "Excel.Application" names under root, if any.
std::optional<std::wstring> ProgIdClass(HKEY root) {
  const std::wstring key = platform::ToWide(kExcelProgId) + L"\\CLSID";
  wchar_t text[64] = {};
  DWORD size = sizeof text;
  if (RegGetValueW(root, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, text, &size) !=
      ERROR_SUCCESS)
    return std::nullopt;
  return std::wstring(text);
}

bool NamesAnotherClass(HKEY root) {
  const std::optional<std::wstring> named = ProgIdClass(root);
  return named && _wcsicmp(named->c_str(), ClassText().c_str()) != 0;
}

HRESULT FromStatus(LSTATUS status) {
  return status == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(status);
}

}  // namespace

HRESULT RegisterStandInServer(RegistrationScope scope, const std::wstring& dll_path) {
  RegistryKey classes;
  if (LSTATUS status = OpenClasses(scope, classes); status != ERROR_SUCCESS)
    return FromStatus(status);
  // What COM reads (the user's classes over the machine's), and what this
  // scope holds.
  if (NamesAnotherClass(HKEY_CLASSES_ROOT) || NamesAnotherClass(classes.get()))
    return SELFREG_E_CLASS;
  const std::wstring clsid = ClassText();
  const std::wstring prog_id = platform::ToWide(kExcelProgId);
  const std::wstring class_key = L"CLSID\\" + clsid;
  for (LSTATUS status :
       {SetText(classes.get(), class_key, nullptr, kDescription),
        SetText(classes.get(), class_key + L"\\InprocServer32", nullptr, dll_path),
        SetText(classes.get(), class_key + L"\\InprocServer32", L"ThreadingModel", L"Apartment"),
        SetText(classes.get(), class_key + L"\\ProgID", nullptr, prog_id),
        SetText(classes.get(), prog_id, nullptr, kDescription),
        SetText(classes.get(), prog_id + L"\\CLSID", nullptr, clsid)}) {
    if (status != ERROR_SUCCESS) {
      UnregisterStandInServer(scope);
      return FromStatus(status);
    }
  }
  return S_OK;
}

HRESULT UnregisterStandInServer(RegistrationScope scope) {
  RegistryKey classes;
  if (LSTATUS status = OpenClasses(scope, classes); status != ERROR_SUCCESS)
    return FromStatus(status);
  const std::wstring prog_id = platform::ToWide(kExcelProgId);
  if (ProgIdClass(classes.get()) && !NamesAnotherClass(classes.get()))
    RegDeleteTreeW(classes.get(), prog_id.c_str());
  const LSTATUS status = RegDeleteTreeW(classes.get(), (L"CLSID\\" + ClassText()).c_str());
  return status == ERROR_FILE_NOT_FOUND ? S_OK : FromStatus(status);
}

}  // namespace nuv::workbook::com
