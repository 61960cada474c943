#include "legacy/output_file.h"

#include <cstdio>
#include <memory>
#include <string>
#include <system_error>

namespace nuv::legacy {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// A new file beside the target that nobody else has: "x" refuses a name
// that exists, so a stale or foreign file is never reused.
File CreateTemporary(const std::filesystem::path& target, std::filesystem::path& name) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = target;
    name += ".tmp" + std::to_string(attempt);
    if (std::FILE* file = std::fopen(name.c_str(), "wbx"))
      return File(file);
  }
  return nullptr;
}

}  // namespace

WriteStatus WriteFileReplacing(const std::filesystem::path& path, std::span<const uint8_t> bytes) {
  std::error_code error;
  if (path.empty() || std::filesystem::is_directory(path, error))
    return WriteStatus::kCannotCreate;
  std::filesystem::path temporary;
  File file = CreateTemporary(path, temporary);
  if (!file)
    return WriteStatus::kCannotCreate;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
  ok = std::fflush(file.get()) == 0 && ok;
  ok = std::fclose(file.release()) == 0 && ok;
  if (ok)
    std::filesystem::rename(temporary, path, error);
  if (!ok || error) {
    std::filesystem::remove(temporary, error);
    return WriteStatus::kWriteFailed;
  }
  return WriteStatus::kWritten;
}

}  // namespace nuv::legacy
