#include "framework/win32/win32_modal.h"

#include <vector>

#include "platform/wide_text.h"

namespace nuv::fw::win32 {
namespace {

// The name box of a file dialog: an editable combo box on Windows, an edit
// on Wine.
constexpr int kFileNameCombo = 0x47C;  // cmb13
constexpr int kFileNameEdit = 0x480;   // edt1

// Room for the longest path the wide file functions take.
constexpr size_t kPathRoom = 32768;

// The filter as OPENFILENAMEW wants it: text and pattern, each ended by a
// NUL, the list ended by one more.
std::wstring FilterText(const FileDialogRequest& request) {
  std::wstring filter;
  for (const auto& [text, pattern] : request.filter) {
    filter += platform::ToWide(text);
    filter.push_back(L'\0');
    filter += platform::ToWide(pattern);
    filter.push_back(L'\0');
  }
  filter.push_back(L'\0');
  return filter;
}

}  // namespace

int ShowMessageBox(HWND owner, std::string_view caption, std::string_view text, uint32_t type) {
  const std::wstring wide_caption = platform::ToWide(caption);
  const std::wstring wide_text = platform::ToWide(text);
  const int answer = MessageBoxW(owner, wide_text.c_str(), wide_caption.c_str(), type);
  if ((type & MB_TYPEMASK) == MB_YESNO)
    return answer == IDYES ? IDYES : IDNO;
  return IDOK;
}

std::optional<std::string> ShowFileDialog(HWND owner, const FileDialogRequest& request) {
  const std::wstring filter = FilterText(request);
  const std::wstring extension = platform::ToWide(request.default_extension);
  std::vector<wchar_t> file(kPathRoom, L'\0');
  const std::wstring initial = platform::ToWide(request.initial_name);
  initial.copy(file.data(), file.size() - 1);

  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = request.filter.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
  ofn.Flags = request.flags | OFN_EXPLORER;
  const BOOL chosen = request.open ? GetOpenFileNameW(&ofn) : GetSaveFileNameW(&ofn);
  if (!chosen)
    return std::nullopt;
  return platform::FromWide(file.data());
}

bool TypeIntoFileDialog(HWND dialog, std::string_view path) {
  HWND name = GetDlgItem(dialog, kFileNameCombo);
  if (name == nullptr)
    name = GetDlgItem(dialog, kFileNameEdit);
  if (name == nullptr)
    return false;
  SetWindowTextW(name, platform::ToWide(path).c_str());
  // Posted: the dialog ends once the caller has returned to its loop.
  return PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                      reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK))) != FALSE;
}

void CloseSystemBox(HWND box, bool file_dialog) {
  WORD id = IDCANCEL;
  if (!file_dialog) {
    const LRESULT default_id = SendMessageW(box, DM_GETDEFID, 0, 0);
    id = HIWORD(default_id) == DC_HASDEFID ? LOWORD(default_id) : IDOK;
  }
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
}

}  // namespace nuv::fw::win32
