#pragma once

#include <memory>
#include <string>

#include "framework/plugin_abi.h"

namespace nuv::fw {

// A plug-in shared library loaded with dlopen, and its four exports resolved
// by their undecorated names. Unloaded when destroyed: whoever hosts it takes
// the plug-in's windows down and calls deinit first. Every host (nuv-drive,
// nuvhost) loads plug-ins through this one class.
class PluginLibrary {
 public:
  // A path without a '/' names a file in the current directory (dlopen
  // would otherwise search the system's library folders). Null on failure,
  // with the reason in `error`.
  static std::unique_ptr<PluginLibrary> Open(const std::string& path, std::string& error);
  ~PluginLibrary();
  PluginLibrary(const PluginLibrary&) = delete;
  PluginLibrary& operator=(const PluginLibrary&) = delete;

  DllGetTitle get_title = nullptr;
  DllIsGui is_gui = nullptr;
  DllInit init = nullptr;
  DllDeinit deinit = nullptr;

 private:
  explicit PluginLibrary(void* handle) : handle_(handle) {}
  void* handle_;
};

}  // namespace nuv::fw
