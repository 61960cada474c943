#include "platform/drive_names.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <string>

namespace nuv::platform {
namespace {

// The working folders this process made, one per private root it was
// given (a test may point the root elsewhere), removed when it ends.
class WorkingFolders {
 public:
  ~WorkingFolders() {
    // A forked child that ends this way must not take its parent's files.
    if (CurrentProcessId() != owner_)
      return;
    for (const auto& [root, folder] : folders_) {
      std::error_code ignored;
      std::filesystem::remove_all(folder, ignored);
    }
  }

  NativePath In(const std::filesystem::path& root) {
    std::lock_guard lock(mutex_);
    auto found = folders_.find(root);
    if (found == folders_.end()) {
      const NativePath made = MakeUniqueFolder(root, "run-" + std::to_string(owner_) + "-");
      if (!made.ok())
        return Failure{"Cannot create a working folder in " + PathText(root) + ": " + made.error()};
      found = folders_.emplace(root, made.value()).first;
    } else if (const Result<void> made = MakeFolderIfMissing(found->second); !made.ok()) {
      return Failure{"Cannot create the working folder " + PathText(found->second) + ": " +
                     made.error()};
    }
    if (const Result<void> checked = CheckPrivateFolder(found->second); !checked.ok())
      return checked.failure();
    return found->second;
  }

 private:
  const std::int64_t owner_ = CurrentProcessId();
  std::mutex mutex_;
  std::map<std::filesystem::path, std::filesystem::path> folders_;
};

}  // namespace

bool IsDriveDName(std::string_view name) {
  return name.size() >= 3 && (name[0] == 'D' || name[0] == 'd') && name[1] == ':' &&
         name[2] == '\\';
}

NativePath MapDriveName(const std::filesystem::path& base, std::string_view name) {
  const auto leaves = [name] {
    return Failure{"The name " + std::string(name) + " leaves the private folder; refused."};
  };
  std::filesystem::path path = base;
  for (const std::filesystem::path& part : RelativeNamePath(name.substr(3))) {
    // Joined on, a part that names a drive would replace the path so far.
    if (part.has_root_name() || part == "..")
      return leaves();
    // A separator more than needed, as the system takes it on a real drive.
    if (part.empty() || part.has_root_directory() || part == ".")
      continue;
    path /= part;
    if (IsLink(path))
      return Failure{"The name " + std::string(name) + " passes through a " +
                     std::string(kLinkKind) + " in the private folder; refused."};
  }
  return path;
}

NativePath PrivateRoot() {
  const NativePath root = PrivateRootLocation();
  if (!root.ok())
    return root;
  if (const Result<void> made = MakeFolderIfMissing(root.value()); !made.ok())
    return Failure{"Cannot create the private folder " + PathText(root.value()) + ": " +
                   made.error()};
  if (const Result<void> checked = CheckPrivateFolder(root.value()); !checked.ok())
    return checked.failure();
  return root;
}

NativePath WorkingFolderUnder(const std::filesystem::path& root) {
  static WorkingFolders folders;
  return folders.In(root);
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
