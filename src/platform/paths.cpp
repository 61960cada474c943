#include "platform/paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string>

#include "platform/drive_names.h"

namespace nuv::platform {
namespace {

constexpr char kSeparator = '/';

// The rest of one of the tool's Windows-style names, with native separators.
std::string Backslashes(std::string_view name) {
  std::string out(name);
  std::replace(out.begin(), out.end(), '\\', kSeparator);
  return out;
}

// Checks that `dir` is a real directory owned by us and closed to others.
Result<void> CheckPrivateDirectory(const std::filesystem::path& dir) {
  struct stat st {};
  if (lstat(dir.c_str(), &st) != 0)
    return Failure{"Cannot use the private folder " + dir.string() + ": " + std::strerror(errno)};
  if (S_ISLNK(st.st_mode))
    return Failure{"The private folder " + dir.string() +
                   " is a symbolic link; refusing to use it."};
  if (!S_ISDIR(st.st_mode))
    return Failure{"The private folder " + dir.string() +
                   " is not a directory; refusing to use it."};
  if (st.st_uid != geteuid())
    return Failure{"The private folder " + dir.string() +
                   " belongs to another user; refusing to use it."};
  if ((st.st_mode & 077) != 0)
    return Failure{"The private folder " + dir.string() +
                   " can be reached by other users (its mode must be 0700); refusing to use it."};
  return {};
}

}  // namespace

// Maps the part of a "D:\" name behind its drive under `base`, refusing a
// way out of it and any symbolic link on the way.
NativePath MapDriveName(const std::filesystem::path& base, std::string_view name) {
  std::filesystem::path path = base;
  std::string rest = Backslashes(name.substr(3));
  for (const auto& part : std::filesystem::path(rest)) {
    if (part.empty() || part == ".")
      continue;
    if (part == "..")
      return Failure{"The name " + std::string(name) + " leaves the private folder; refused."};
    path /= part;
    struct stat st {};
    if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode))
      return Failure{"The name " + std::string(name) +
                     " passes through a symbolic link in the private folder; refused."};
  }
  return path;
}

namespace {

// The working folders this process made, one per private root it was
// given (a test may point the root elsewhere), removed when it ends.
class WorkingFolders {
 public:
  ~WorkingFolders() {
    // A forked child that ends this way must not take its parent's files.
    if (getpid() != owner_)
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
      std::string pattern = (root / ("run-" + std::to_string(owner_) + "-XXXXXX")).string();
      if (mkdtemp(pattern.data()) == nullptr)
        return Failure{"Cannot create a working folder in " + root.string() + ": " +
                       std::strerror(errno)};
      found = folders_.emplace(root, pattern).first;
    } else if (mkdir(found->second.c_str(), 0700) != 0 && errno != EEXIST) {
      return Failure{"Cannot create the working folder " + found->second.string() + ": " +
                     std::strerror(errno)};
    }
    if (Result<void> checked = CheckPrivateDirectory(found->second); !checked.ok())
      return checked.failure();
    return found->second;
  }

 private:
  const pid_t owner_ = getpid();
  std::mutex mutex_;
  std::map<std::filesystem::path, std::filesystem::path> folders_;
};

}  // namespace

NativePath WorkingFolderUnder(const std::filesystem::path& root) {
  static WorkingFolders folders;
  return folders.In(root);
}

NativePath PrivateRoot() {
  std::filesystem::path root;
  if (const char* explicit_root = std::getenv("NUV_PRIVATE_ROOT"); explicit_root && *explicit_root)
    root = explicit_root;
  else if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime)
    root = std::filesystem::path(runtime) / "nuv-d";
  else
    root = "/tmp/nuv-d-" + std::to_string(geteuid());

  if (mkdir(root.c_str(), 0700) != 0 && errno != EEXIST)
    return Failure{"Cannot create the private folder " + root.string() + ": " +
                   std::strerror(errno)};
  if (Result<void> checked = CheckPrivateDirectory(root); !checked.ok())
    return checked.failure();
  return root;
}

NativePath ToNativePath(std::string_view name) {
  if (name.size() >= 2 && name[0] == '.' && name[1] == '\\')
    return std::filesystem::current_path() / Backslashes(name.substr(2));
  if (!IsDriveDName(name))
    return std::filesystem::path(name);
  const NativePath root = PrivateRoot();
  if (!root.ok())
    return root;
  return MapDriveName(root.value(), name);
}

std::filesystem::path ProgramFolder() {
  std::error_code error;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error)
    return std::filesystem::current_path();
  return exe.parent_path();
}

bool IsFolderSeparator(char c) {
  return c == kSeparator;
}

std::string FileInFolder(std::string_view folder, std::string_view name) {
  std::string path(folder);
  path += kSeparator;
  path += name;
  return path;
}

bool SetFileHidden(const std::filesystem::path&) {
  return true;
}

}  // namespace nuv::platform
