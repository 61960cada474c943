#include "framework/win32/win32_modal.h"

#include <vector>

#include "platform/wide_text.h"

namespace nuv::fw::win32 {
namespace {

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

}  // namespace nuv::fw::win32
