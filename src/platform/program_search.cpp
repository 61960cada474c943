#include "platform/program_search.h"

#include <algorithm>

#include "platform/paths.h"
#include "platform/process.h"

namespace nuv::platform {
namespace {

bool NamesFolder(std::string_view name) {
  return std::any_of(name.begin(), name.end(), IsFolderSeparator);
}

}  // namespace

std::optional<std::filesystem::path> FindProgram(std::string_view name) {
  if (name.empty())
    return std::nullopt;
  if (NamesFolder(name))
    return ProgramIn({}, name);
  for (const std::filesystem::path& folder : ProgramFolders())
    if (std::optional<std::filesystem::path> found = ProgramIn(folder, name))
      return found;
  return std::nullopt;
}

Result<std::filesystem::path> ProgramToStart(std::span<const std::string> argv) {
  if (argv.empty() || argv[0].empty())
    return Failure{"no program was named"};
  if (std::optional<std::filesystem::path> program = FindProgram(argv[0]))
    return *std::move(program);
  if (NamesFolder(argv[0]))
    return Failure{argv[0] + " is not an executable file"};
  return Failure{"no program named \"" + argv[0] + "\" was found " + ProgramSearchPlaces()};
}

}  // namespace nuv::platform
