#include "plugin/open_file_dialog.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "framework/open_file_name.h"

namespace nuv::plugin {

bool OpenFileDialog(fw::Window* owner, std::string_view filter, PathBuffer& path) {
  fw::OpenFileName ofn;
  ofn.owner = owner;
  ofn.filter = filter;
  ofn.file = path;
  ofn.flags = fw::OFN_EXPLORER;
  ofn.default_extension = "hex";
  if (!fw::GetOpenFileName(ofn))
    return false;
  path = ofn.file;
  return true;
}

std::string_view PathText(const PathBuffer& path) {
  const auto end = std::find(path.begin(), path.end(), '\0');
  return std::string_view(path.data(), static_cast<size_t>(end - path.begin()));
}

bool CanOpenForReading(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error))
    return false;
  const std::ifstream file(path, std::ios::binary);
  return file.is_open();
}

}  // namespace nuv::plugin
