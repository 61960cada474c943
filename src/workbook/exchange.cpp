#include "workbook/exchange.h"

#include <stdlib.h>

#include <system_error>

namespace nuv::workbook {

std::string DefaultWorkbookPath() {
  std::error_code error;
  return platform::FileInFolder(std::filesystem::current_path(error).string(), "preset.xls");
}

std::filesystem::path NativeFilePath(std::string_view path) {
  return std::filesystem::path(std::string(path));
}

BatchWorkFolder::BatchWorkFolder(std::string_view prefix) {
  std::error_code error;
  std::string pattern =
      (std::filesystem::temp_directory_path(error) / (std::string(prefix) + "-XXXXXX")).string();
  if (::mkdtemp(pattern.data()))
    path_ = pattern;
}

BatchWorkFolder::~BatchWorkFolder() {
  std::error_code ignored;
  if (!path_.empty())
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace nuv::workbook
