#include "framework/plugin_library.h"

namespace nuv::fw {
namespace {

template <class Fn>
bool Resolve(const platform::SharedLibrary& library, const char* name, Fn& fn, std::string& error) {
  void* symbol = library.Symbol(name);
  if (symbol == nullptr) {
    error = std::string("the plug-in does not export ") + name;
    return false;
  }
  fn = reinterpret_cast<Fn>(symbol);
  return true;
}

}  // namespace

std::unique_ptr<PluginLibrary> PluginLibrary::Open(const std::string& path, std::string& error) {
  platform::Result<std::unique_ptr<platform::SharedLibrary>> loaded =
      platform::SharedLibrary::Load(path);
  if (!loaded.ok()) {
    error = "cannot load " + path + ": " + loaded.error();
    return nullptr;
  }
  const platform::SharedLibrary& exports = *loaded.value();
  std::unique_ptr<PluginLibrary> library(new PluginLibrary(std::move(loaded.value())));
  if (!Resolve(exports, kDllGetTitle, library->get_title, error) ||
      !Resolve(exports, kDllIsGui, library->is_gui, error) ||
      !Resolve(exports, kDllInit, library->init, error) ||
      !Resolve(exports, kDllDeinit, library->deinit, error))
    return nullptr;
  return library;
}

}  // namespace nuv::fw
