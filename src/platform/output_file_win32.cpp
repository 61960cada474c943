#include <windows.h>

#include <cstdio>
#include <random>

#include "platform/output_file.h"
#include "platform/wide_text.h"

namespace nuv::platform {
namespace {

namespace fs = std::filesystem;

// Closes a Win32 file handle when dropped.
class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() { Close(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return handle_; }
  bool ok() const { return handle_ != INVALID_HANDLE_VALUE; }
  bool Close() {
    const bool closed = !ok() || CloseHandle(handle_) != 0;
    handle_ = INVALID_HANDLE_VALUE;
    return closed;
  }

 private:
  HANDLE handle_;
};

WriteFailure NotWritten(WriteError kind, const fs::path& target, std::string_view why) {
  return {kind, "Cannot write \"" + Utf8FromPath(target) + "\": " + std::string(why) + "."};
}

WriteFailure SystemNotWritten(WriteError kind, const fs::path& target, DWORD code) {
  return NotWritten(kind, target, SystemMessage(code));
}

// Where the bytes end up: the file at the end of any links, or the new file.
struct Resolved {
  fs::path path;
  bool exists = false;
  WriteResult refusal;
};

// The final path of an existing file, reached through any links; an
// existing name that is no file on a disk (a folder, a device, a pipe, a
// link that leads nowhere) is refused.
Resolved Resolve(const fs::path& target) {
  Resolved resolved;
  if (target.empty() || !target.has_filename()) {
    resolved.refusal = NotWritten(WriteError::kCannotCreate, target, "it names no file");
    return resolved;
  }
  // A device name ("CON", "NUL", "COM1") names the device in any folder;
  // opening one may fail or wait rather than show what it is.
  if (const DWORD length = GetFullPathNameW(target.c_str(), 0, nullptr, nullptr); length > 0) {
    std::wstring full(length, L'\0');
    full.resize(GetFullPathNameW(target.c_str(), length, full.data(), nullptr));
    if (full.starts_with(L"\\\\.\\")) {
      resolved.refusal = NotWritten(WriteError::kRefused, target, "it is a device, not a file");
      return resolved;
    }
  }
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD code = GetLastError();
    if (code != ERROR_FILE_NOT_FOUND)
      resolved.refusal = SystemNotWritten(WriteError::kCannotCreate, target, code);
    resolved.path = target;
    return resolved;
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    resolved.refusal = NotWritten(WriteError::kRefused, target, "it is a folder, not a file");
    return resolved;
  }
  // The user's own protection of the file: never replaced behind it.
  if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    resolved.refusal = NotWritten(WriteError::kRefused, target, "it is read-only");
    return resolved;
  }
  const Handle file(CreateFileW(target.c_str(), 0,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.ok()) {
    const DWORD code = GetLastError();
    resolved.refusal =
        code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND
            ? NotWritten(WriteError::kRefused, target, "it is a link to a file that does not exist")
            : SystemNotWritten(WriteError::kCannotCreate, target, code);
    return resolved;
  }
  if (GetFileType(file.get()) != FILE_TYPE_DISK) {
    resolved.refusal = NotWritten(WriteError::kRefused, target, "it is a device, not a file");
    return resolved;
  }
  std::wstring final_path(MAX_PATH, L'\0');
  DWORD length = GetFinalPathNameByHandleW(file.get(), final_path.data(),
                                           static_cast<DWORD>(final_path.size()), 0);
  if (length >= final_path.size()) {
    final_path.resize(length + 1);
    length = GetFinalPathNameByHandleW(file.get(), final_path.data(),
                                       static_cast<DWORD>(final_path.size()), 0);
  }
  final_path.resize(length < final_path.size() ? length : 0);
  resolved.path = final_path.empty() ? target : fs::path(final_path);
  resolved.exists = true;
  return resolved;
}

// A name beside `path` that no one can guess, for the new content.
fs::path TemporaryName(const fs::path& path) {
  std::random_device random;
  wchar_t suffix[16];
  std::swprintf(suffix, 16, L".%08x", static_cast<unsigned>(random()));
  fs::path temporary = path;
  temporary += suffix;
  return temporary;
}

bool WriteAll(HANDLE file, std::span<const uint8_t> bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = bytes.size() > 0x40000000 ? 0x40000000 : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0)
      return false;
    bytes = bytes.subspan(written);
  }
  return true;
}

// An existing file is replaced so that it keeps its attributes and access
// list; a new one is moved into place. Either way the name never names a
// half-written file.
bool PutInPlace(const fs::path& temporary, const Resolved& destination) {
  if (destination.exists && ReplaceFileW(destination.path.c_str(), temporary.c_str(), nullptr,
                                         REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr))
    return true;
  return MoveFileExW(temporary.c_str(), destination.path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

}  // namespace

WriteResult WriteFileReplacing(const fs::path& target, std::span<const uint8_t> bytes) {
  const Resolved destination = Resolve(target);
  if (!destination.refusal.ok())
    return destination.refusal;

  fs::path temporary;
  HANDLE created = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < 16 && created == INVALID_HANDLE_VALUE; ++attempt) {
    temporary = TemporaryName(destination.path);
    created = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (created == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS)
      break;
  }
  Handle file(created);
  if (!file.ok())
    return SystemNotWritten(WriteError::kCannotCreate, target, GetLastError());

  const bool written = WriteAll(file.get(), bytes) && FlushFileBuffers(file.get()) &&
                       file.Close() && PutInPlace(temporary, destination);
  if (!written) {
    const DWORD code = GetLastError();
    file.Close();
    DeleteFileW(temporary.c_str());
    return SystemNotWritten(WriteError::kCannotWrite, target, code);
  }
  return {};
}

}  // namespace nuv::platform
