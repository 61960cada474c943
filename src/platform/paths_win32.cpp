#include <aclapi.h>
#include <sddl.h>
#include <windows.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "platform/drive_names.h"
#include "platform/paths.h"
#include "platform/wide_text.h"

namespace nuv::platform {
namespace {

bool DriveExists(wchar_t letter) {
  const wchar_t root[] = {letter, L':', L'\\', L'\0'};
  return GetDriveTypeW(root) != DRIVE_NO_ROOT_DIR;
}

// The text form of the security identifier of the user this process runs
// as, for a descriptor that lets only that user in.
std::wstring CurrentUserSid() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
    return {};
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::vector<unsigned char> buffer(size);
  std::wstring result;
  if (size > 0 && GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) {
    wchar_t* text = nullptr;
    if (ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text)) {
      result = text;
      LocalFree(text);
    }
  }
  CloseHandle(token);
  return result;
}

// Creates `folder` with an access list that lets only this user in, and
// nobody's rights inherited from above.
bool CreatePrivateFolder(const std::filesystem::path& folder) {
  const std::wstring sid = CurrentUserSid();
  if (sid.empty())
    return false;
  const std::wstring sddl = L"D:P(A;OICI;FA;;;" + sid + L")";
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1,
                                                            &descriptor, nullptr))
    return false;
  SECURITY_ATTRIBUTES attributes{sizeof(attributes), descriptor, FALSE};
  const bool made = CreateDirectoryW(folder.c_str(), &attributes) != 0;
  LocalFree(descriptor);
  return made;
}

}  // namespace

const std::string_view kLinkKind = "link";

std::filesystem::path RelativeNamePath(std::string_view name) {
  return PathFromUtf8(name);
}

std::int64_t CurrentProcessId() {
  return GetCurrentProcessId();
}

NativePath PrivateRootLocation() {
  if (std::wstring explicit_root = EnvironmentVariable(L"NUV_PRIVATE_ROOT"); !explicit_root.empty())
    return std::filesystem::path(explicit_root);
  wchar_t temporary[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathW(MAX_PATH + 1, temporary);
  if (length == 0 || length > MAX_PATH)
    return Failure{"Cannot find the temporary folder: " + SystemMessage(GetLastError())};
  return std::filesystem::path(std::wstring(temporary, length)) / L"nuv-d";
}

NativePath MakeUniqueFolder(const std::filesystem::path& root, std::string_view stem) {
  std::random_device random;
  for (int attempt = 0; attempt < 16; ++attempt) {
    const std::filesystem::path candidate =
        root / PathFromUtf8(std::string(stem) + std::to_string(random()));
    if (CreatePrivateFolder(candidate))
      return candidate;
    if (GetLastError() != ERROR_ALREADY_EXISTS)
      break;
  }
  return Failure{SystemMessage(GetLastError())};
}

Result<void> MakeFolderIfMissing(const std::filesystem::path& folder) {
  if (CreatePrivateFolder(folder))
    return {};
  const DWORD error = GetLastError();
  if (error == ERROR_ALREADY_EXISTS)
    return {};
  return Failure{SystemMessage(error)};
}

// A folder that already exists must be a real folder, not a link or a
// junction that leads elsewhere.
Result<void> CheckPrivateFolder(const std::filesystem::path& folder) {
  const DWORD attributes = GetFileAttributesW(folder.c_str());
  const std::string name = Utf8FromPath(folder);
  if (attributes == INVALID_FILE_ATTRIBUTES)
    return Failure{"Cannot use the private folder " + name + ": " + SystemMessage(GetLastError())};
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
    return Failure{"The private folder " + name + " is a link; refusing to use it."};
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
    return Failure{"The private folder " + name + " is not a folder; refusing to use it."};
  return {};
}

bool IsLink(const std::filesystem::path& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

NativePath ToNativePath(std::string_view name) {
  if (name.size() >= 2 && name[0] == '.' && name[1] == '\\')
    return std::filesystem::current_path() / RelativeNamePath(name.substr(2));
  if (!IsDriveDName(name) || DriveExists(L'D'))
    return PathFromUtf8(name);
  // No drive D: here; its folders live in the private folder instead.
  NativePath root = PrivateRoot();
  if (!root.ok())
    return root;
  return MapDriveName(root.value(), name);
}

std::filesystem::path ProgramFolder() {
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (length == 0)
      return std::filesystem::current_path();
    if (length < name.size()) {
      name.resize(length);
      return std::filesystem::path(name).parent_path();
    }
    name.resize(name.size() * 2);
  }
}

bool IsFolderSeparator(char c) {
  return c == '\\' || c == '/';
}

std::string FileInFolder(std::string_view folder, std::string_view name) {
  std::string path(folder);
  path += '\\';
  path += name;
  return path;
}

bool SetFileHidden(const std::filesystem::path& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         SetFileAttributesW(path.c_str(), attributes | FILE_ATTRIBUTE_HIDDEN) != 0;
}

}  // namespace nuv::platform
