#pragma once
// For platform/ only. The mapping of "D:\" names and the private and
// working folders are shared by both systems (drive_names.cpp); the
// primitives below are what each system does its own way (paths.cpp,
// paths_win32.cpp).
#include <cstdint>
#include <filesystem>
#include <string_view>

#include "platform/paths.h"
#include "platform/result.h"

namespace nuv::platform {

// "D:\..." in either case of the letter.
bool IsDriveDName(std::string_view name);

// "D:\dir\name" as dir\name under `base`, refused when it leaves `base` or
// passes through a link there.
NativePath MapDriveName(const std::filesystem::path& base, std::string_view name);

// This process's working folder under `root`, made for the user alone on
// first use and removed with everything in it when the process ends.
NativePath WorkingFolderUnder(const std::filesystem::path& root);

// --- Each system's own ---

// Where the private folder belongs, before it is made or checked.
NativePath PrivateRootLocation();

// A new folder under `root` that only this user may enter, named `stem`
// and an ending nobody can predict; the system's reason when none can be
// made.
NativePath MakeUniqueFolder(const std::filesystem::path& root, std::string_view stem);

// Makes `folder` again, for this user alone, unless it exists; the
// system's reason when it neither exists nor can be made.
Result<void> MakeFolderIfMissing(const std::filesystem::path& folder);

// That `folder` is a real folder, no link, that only this user may enter;
// else a message that names the private folder and the check it failed.
Result<void> CheckPrivateFolder(const std::filesystem::path& folder);

// Whether `path` is a link (one the system would follow elsewhere).
bool IsLink(const std::filesystem::path& path);

// What this system calls what IsLink finds, for messages.
extern const std::string_view kLinkKind;

// A relative name in the tool's Windows form ("dir\name") as a native
// path, its parts cut at backslashes on every system.
std::filesystem::path RelativeNamePath(std::string_view name);

// This process's number: a forked child has its own.
std::int64_t CurrentProcessId();

}  // namespace nuv::platform
