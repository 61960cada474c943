#include "framework/open_file_name.h"

#include <algorithm>

#include "framework/application.h"
#include "framework/file_names.h"

namespace nuv::fw {

std::string OpenFileName::FileName() const {
  const auto end = std::find(file.begin(), file.end(), '\0');
  return std::string(file.begin(), end);
}

bool GetOpenFileName(OpenFileName& ofn) {
  ofn.needed = 0;
  Application* app = Application::Current();
  if (app == nullptr)
    return false;
  FileDialogRequest request;
  request.open = true;
  request.owner = ofn.owner;
  request.filter = ParseNulFilter(ofn.filter);
  request.initial_name = ofn.FileName();
  request.default_extension = ofn.default_extension;
  request.flags = ofn.flags;
  const std::optional<std::string> chosen = app->backend().FileDialog(request);
  if (!chosen || chosen->empty())
    return false;
  const std::string path = ApplyDefaultExtension(*chosen, ofn.default_extension);
  if (path.size() >= ofn.file.size()) {
    ofn.needed = path.size() + 1;
    return false;
  }
  std::fill(ofn.file.begin(), ofn.file.end(), '\0');
  std::copy(path.begin(), path.end(), ofn.file.begin());
  return true;
}

}  // namespace nuv::fw
