#include <windows.h>

#include <algorithm>

#include "platform/input_file.h"
#include "platform/wide_text.h"

namespace nuv::platform {

Result<InputFile> InputFile::Open(const std::filesystem::path& path) {
  HANDLE file =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return Failure{SystemMessage(GetLastError())};
  FileDescriptor owned(reinterpret_cast<NativeHandle>(file));
  // A pipe or a device is refused at once: reading one could wait forever.
  LARGE_INTEGER size{};
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileType(file) != FILE_TYPE_DISK || !GetFileSizeEx(file, &size) || size.QuadPart < 0 ||
      !GetFileInformationByHandle(file, &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return Failure{"it is not a regular file"};
  return InputFile(std::move(owned), static_cast<uint64_t>(size.QuadPart), path);
}

std::optional<size_t> InputFile::ReadInto(std::span<uint8_t> bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 0x40000000));
    DWORD got = 0;
    if (!ReadFile(reinterpret_cast<HANDLE>(fd_.get()), bytes.data() + done, want, &got, nullptr))
      return std::nullopt;
    if (got == 0)
      break;
    done += got;
  }
  return done;
}

}  // namespace nuv::platform
