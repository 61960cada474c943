#include "exchange/exchange.h"

#include <system_error>

#include "platform/paths.h"

namespace nuv::exchange {

std::string DefaultWorkbookPath() {
  std::error_code error;
  return platform::FileInFolder(std::filesystem::current_path(error).string(), "preset.xls");
}

std::filesystem::path NativeFilePath(std::string_view path) {
  return std::filesystem::path(std::string(path));
}

}  // namespace nuv::exchange
