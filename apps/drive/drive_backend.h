#pragma once

#include <memory>

#include "framework/driven_backend.h"

namespace nuv::drive {

// The windows a script drives: the headless backend, or on Windows the
// Win32 backend's real windows.
std::unique_ptr<fw::DrivenBackend> MakeDriveBackend();

}  // namespace nuv::drive
