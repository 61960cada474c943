#include <windows.h>
// windows.h names the A or W function by this name; ours is the one below.
#undef GetPrivateProfileString

#include <vector>

#include "platform/profile.h"
#include "platform/wide_text.h"

namespace nuv::platform {

// Windows itself reads the file: the same rules for sections, keys, quotes
// and blanks, and the same cut to the buffer.
std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view default_value, std::size_t buffer_size,
                                    const std::filesystem::path& file) {
  if (buffer_size == 0)
    return {};
  std::vector<wchar_t> buffer(buffer_size, L'\0');
  const DWORD length = GetPrivateProfileStringW(ToWide(section).c_str(), ToWide(key).c_str(),
                                                ToWide(default_value).c_str(), buffer.data(),
                                                static_cast<DWORD>(buffer.size()), file.c_str());
  return FromWide(std::wstring_view(buffer.data(), length));
}

}  // namespace nuv::platform
