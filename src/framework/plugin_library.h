#pragma once

#include <memory>
#include <string>

#include "framework/plugin_abi.h"
#include "platform/result.h"
#include "platform/shared_library.h"

namespace nuv::fw {

// A plug-in shared library, loaded into the process, and its four exports resolved
// by their undecorated names. Unloaded when destroyed: whoever hosts it takes
// the plug-in's windows down and calls deinit first. Every host (nuv-drive,
// nuvhost) loads plug-ins through this one class.
class PluginLibrary {
 public:
  // A path without a folder names a file in the current directory. Why not
  // when it cannot be loaded or lacks one of the exports.
  static platform::Result<std::unique_ptr<PluginLibrary>> Open(const std::string& path);
  PluginLibrary(const PluginLibrary&) = delete;
  PluginLibrary& operator=(const PluginLibrary&) = delete;

  DllGetTitle get_title = nullptr;
  DllIsGui is_gui = nullptr;
  DllInit init = nullptr;
  DllDeinit deinit = nullptr;

 private:
  explicit PluginLibrary(std::unique_ptr<platform::SharedLibrary> library)
      : library_(std::move(library)) {}
  std::unique_ptr<platform::SharedLibrary> library_;
};

}  // namespace nuv::fw
