#include "workbook/exchange.h"

#include <stdlib.h>

#include <algorithm>
#include <system_error>

namespace nuv::workbook {

std::string DefaultWorkbookPath() {
  std::error_code error;
  std::filesystem::path folder = std::filesystem::current_path(error);
  return folder.string() + "\\preset.xls";
}

std::filesystem::path NativeFilePath(std::string_view path) {
  platform::NativePath native = platform::ToNativePath(path);
  if (!native.ok)
    return {};
  std::string text = native.path.string();
  std::replace(text.begin(), text.end(), '\\', '/');
  return text;
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
