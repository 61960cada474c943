#pragma once

#include <memory>
#include <string>

#include "framework/plugin_abi.h"

namespace nuv::drive {

// A plug-in shared library loaded with dlopen, and its four exports resolved
// by their undecorated names. Unloaded when destroyed.
class PluginLibrary {
 public:
  // A path without a '/' names a file in the current directory (dlopen
  // would otherwise search the system's library folders). Null on failure,
  // with the reason in `error`.
  static std::unique_ptr<PluginLibrary> Open(const std::string& path, std::string& error);
  ~PluginLibrary();
  PluginLibrary(const PluginLibrary&) = delete;
  PluginLibrary& operator=(const PluginLibrary&) = delete;

  fw::DllGetTitle get_title = nullptr;
  fw::DllIsGui is_gui = nullptr;
  fw::DllInit init = nullptr;
  fw::DllDeinit deinit = nullptr;

 private:
  explicit PluginLibrary(void* handle) : handle_(handle) {}
  void* handle_;
};

}  // namespace nuv::drive
