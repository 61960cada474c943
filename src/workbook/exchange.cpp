#include "workbook/exchange.h"

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

}  // namespace nuv::workbook
