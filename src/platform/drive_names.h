#pragma once
// The parts of name mapping that each system does its own way, for the
// mapping that both share (drive_names.cpp).
#include <filesystem>
#include <string_view>

#include "platform/paths.h"

namespace nuv::platform {

// "D:\..." in either case of the letter.
bool IsDriveDName(std::string_view name);

// "D:\dir\name" as dir\name under `base`, refused when it leaves `base` or
// passes through a link there.
NativePath MapDriveName(const std::filesystem::path& base, std::string_view name);

// This process's working folder under `root`, made for the user alone on
// first use and removed with everything in it when the process ends.
NativePath WorkingFolderUnder(const std::filesystem::path& root);

}  // namespace nuv::platform
