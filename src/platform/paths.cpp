#include "platform/paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/drive_names.h"

namespace nuv::platform {
namespace {

constexpr char kSeparator = '/';

}  // namespace

const std::string_view kLinkKind = "symbolic link";

std::filesystem::path RelativeNamePath(std::string_view name) {
  std::string out(name);
  std::replace(out.begin(), out.end(), '\\', kSeparator);
  return out;
}

std::int64_t CurrentProcessId() {
  return getpid();
}

NativePath PrivateRootLocation() {
  if (const char* explicit_root = std::getenv("NUV_PRIVATE_ROOT"); explicit_root && *explicit_root)
    return std::filesystem::path(explicit_root);
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime)
    return std::filesystem::path(runtime) / "nuv-d";
  return std::filesystem::path("/tmp/nuv-d-" + std::to_string(geteuid()));
}

NativePath MakeUniqueFolder(const std::filesystem::path& root, std::string_view stem) {
  std::string pattern = (root / (std::string(stem) + "XXXXXX")).string();
  if (mkdtemp(pattern.data()) == nullptr)
    return Failure{std::strerror(errno)};
  return std::filesystem::path(pattern);
}

Result<void> MakeFolderIfMissing(const std::filesystem::path& folder) {
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
    return Failure{std::strerror(errno)};
  return {};
}

// Owner and mode, besides: a folder others may enter is no private one.
Result<void> CheckPrivateFolder(const std::filesystem::path& dir) {
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

bool IsLink(const std::filesystem::path& path) {
  struct stat st {};
  return lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

NativePath ToNativePath(std::string_view name) {
  if (name.size() >= 2 && name[0] == '.' && name[1] == '\\')
    return std::filesystem::current_path() / RelativeNamePath(name.substr(2));
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
