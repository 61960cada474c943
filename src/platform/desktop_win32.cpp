#include <windows.h>
//
#include <shellapi.h>
#include <shlwapi.h>

#include "platform/desktop.h"
#include "platform/wide_text.h"

namespace nuv::platform {

// A display variable here is a leftover of the machine Wine runs on, so
// the shell is asked whatever the environment says. SEE_MASK_NOASYNC: the
// caller may be a thread that ends soon after.
Result<DesktopOpen> OpenWithDesktop(const std::filesystem::path& file) {
  // Asked first, because without a program the shell tries the file itself
  // and its error speaks of a bad program ("Bad EXE format for %1").
  const std::wstring kind = file.extension().wstring();
  DWORD size = 0;
  if (FAILED(AssocQueryStringW(ASSOCF_INIT_IGNOREUNKNOWN, ASSOCSTR_COMMAND, kind.c_str(), L"open",
                               nullptr, &size)))
    return Failure{"Windows knows no program that opens \"" + Utf8FromPath(kind) + "\" files"};
  const std::wstring name = file.wstring();
  SHELLEXECUTEINFOW open{};
  open.cbSize = sizeof(open);
  open.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
  open.lpVerb = L"open";
  open.lpFile = name.c_str();
  open.nShow = SW_SHOWNORMAL;
  if (!ShellExecuteExW(&open))
    return Failure{SystemMessage(GetLastError())};
  return DesktopOpen::kStarted;
}

}  // namespace nuv::platform
