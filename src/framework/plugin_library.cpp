#include "framework/plugin_library.h"

#include <dlfcn.h>

namespace nuv::fw {
namespace {

template <class Fn>
bool Resolve(void* handle, const char* name, Fn& fn, std::string& error) {
  void* symbol = dlsym(handle, name);
  if (symbol == nullptr) {
    error = std::string("the plug-in does not export ") + name;
    return false;
  }
  fn = reinterpret_cast<Fn>(symbol);
  return true;
}

}  // namespace

std::unique_ptr<PluginLibrary> PluginLibrary::Open(const std::string& path, std::string& error) {
  const std::string file = path.find('/') == std::string::npos ? "./" + path : path;
  void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* why = dlerror();
    error = "cannot load " + path + ": " + (why != nullptr ? why : "unknown reason");
    return nullptr;
  }
  std::unique_ptr<PluginLibrary> library(new PluginLibrary(handle));
  if (!Resolve(handle, kDllGetTitle, library->get_title, error) ||
      !Resolve(handle, kDllIsGui, library->is_gui, error) ||
      !Resolve(handle, kDllInit, library->init, error) ||
      !Resolve(handle, kDllDeinit, library->deinit, error))
    return nullptr;
  return library;
}

PluginLibrary::~PluginLibrary() {
  dlclose(handle_);
}

}  // namespace nuv::fw
