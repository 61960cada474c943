#include "framework/plugin_library.h"

namespace nuv::fw {
namespace {

template <class Fn>
platform::Result<void> Resolve(const platform::SharedLibrary& library, const char* name, Fn& fn) {
  void* symbol = library.Symbol(name);
  if (symbol == nullptr)
    return platform::Failure{std::string("the plug-in does not export ") + name};
  fn = reinterpret_cast<Fn>(symbol);
  return {};
}

}  // namespace

platform::Result<std::unique_ptr<PluginLibrary>> PluginLibrary::Open(const std::string& path) {
  platform::Result<std::unique_ptr<platform::SharedLibrary>> loaded =
      platform::SharedLibrary::Load(path);
  if (!loaded.ok())
    return platform::Failure{"cannot load " + path + ": " + loaded.error()};
  const platform::SharedLibrary& exports = *loaded.value();
  std::unique_ptr<PluginLibrary> library(new PluginLibrary(std::move(loaded.value())));
  for (const platform::Result<void>& resolved :
       {Resolve(exports, kDllGetTitle, library->get_title),
        Resolve(exports, kDllIsGui, library->is_gui), Resolve(exports, kDllInit, library->init),
        Resolve(exports, kDllDeinit, library->deinit)})
    if (!resolved.ok())
      return resolved.failure();
  return library;
}

}  // namespace nuv::fw
