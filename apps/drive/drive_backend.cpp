#include "drive_backend.h"

#ifdef _WIN32
#include "framework/win32/win32_backend.h"
#else
#include "framework/headless/headless_backend.h"
#endif

namespace nuv::drive {

std::unique_ptr<fw::DrivenBackend> MakeDriveBackend() {
#ifdef _WIN32
  return std::make_unique<fw::win32::Win32Backend>(fw::win32::Win32Backend::Mode::kDriven);
#else
  return std::make_unique<fw::headless::HeadlessBackend>();
#endif
}

}  // namespace nuv::drive
