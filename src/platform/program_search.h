#pragma once
// Finding the program a child is started from: the search is shared
// (program_search.cpp); where it looks and what counts as a program are the
// system's (process.cpp, process_win32.cpp). For platform/ only.
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/result.h"

namespace nuv::platform {

// The program argv[0] names (see FindProgram), or why none can be started:
// no program named, or none found by that name.
Result<std::filesystem::path> ProgramToStart(std::span<const std::string> argv);

// The program `name` names in `folder` (an empty folder: `name` as it is),
// when there is one that can be started there.
std::optional<std::filesystem::path> ProgramIn(const std::filesystem::path& folder,
                                               std::string_view name);

// The folders a name without a folder is looked for in, in order.
std::vector<std::filesystem::path> ProgramFolders();

// Where a program without a folder was looked for, as a message that says
// it was not found puts it: "on PATH (/usr/bin:/bin)".
std::string ProgramSearchPlaces();

}  // namespace nuv::platform
