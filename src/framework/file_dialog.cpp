#include "framework/file_dialog.h"

#include "framework/application.h"
#include "framework/constants.h"

namespace nuv::fw {

FileDialog::FileDialog(bool open, std::string_view default_extension, std::string_view file_name,
                       uint32_t flags, std::string_view filter, Window* parent)
    : open_(open),
      default_extension_(default_extension),
      file_name_(file_name),
      flags_(flags),
      filter_(ParseBarFilter(filter)),
      parent_(parent) {}

int FileDialog::DoModal() {
  Application* app = Application::Current();
  if (app == nullptr)
    return IDCANCEL;
  FileDialogRequest request;
  request.open = open_;
  request.owner = parent_;
  request.filter = filter_;
  request.initial_name = file_name_;
  request.default_extension = default_extension_;
  request.flags = flags_;
  const std::optional<std::string> chosen = app->backend().FileDialog(request);
  if (!chosen || chosen->empty())
    return IDCANCEL;
  path_ = ApplyDefaultExtension(*chosen, default_extension_);
  return IDOK;
}

}  // namespace nuv::fw
