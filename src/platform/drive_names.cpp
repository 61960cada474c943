#include "platform/drive_names.h"

#include <algorithm>
#include <string>

namespace nuv::platform {

bool IsDriveDName(std::string_view name) {
  return name.size() >= 3 && (name[0] == 'D' || name[0] == 'd') && name[1] == ':' &&
         name[2] == '\\';
}

NativePath WorkingFolder() {
  const NativePath root = PrivateRoot();
  if (!root.ok())
    return root;
  return WorkingFolderUnder(root.value());
}

NativePath ToWorkingPath(std::string_view name) {
  if (!IsDriveDName(name))
    return Failure{"The working file " + std::string(name) +
                   " is not a name on drive D:; refused."};
  const NativePath folder = WorkingFolder();
  if (!folder.ok())
    return folder;
  return MapDriveName(folder.value(), name);
}

std::string FolderWithSeparator(std::string_view path) {
  const auto last = std::find_if(path.rbegin(), path.rend(), IsFolderSeparator);
  return std::string(path.begin(), last.base());
}

}  // namespace nuv::platform
