// The Win32 side of FileDescriptor: it holds a HANDLE.
#include <windows.h>

#include "platform/file_descriptor.h"

namespace nuv::platform {

void FileDescriptor::reset() {
  if (handle_ != kInvalid && handle_ != 0)
    CloseHandle(reinterpret_cast<HANDLE>(handle_));
  handle_ = kInvalid;
}

}  // namespace nuv::platform
