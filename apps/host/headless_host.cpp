// nuvhost on Windows: loads nuv.dll from its own folder, asks for the title
// and whether the plug-in has a user interface, hands dll_init its page, and
// prints each answer as nuv-drive does. The page is a window of the headless
// backend, taken down at once; with --window it is a real window of the
// Win32 backend, which the user works with until they close it. Then it
// calls dll_deinit, as a host that closes. Exit 0 when the plug-in made its
// form.
#include <cstdio>
#include <memory>
#include <string>

#include "framework/application.h"
#include "framework/headless/headless_backend.h"
#include "framework/plugin_library.h"
#include "framework/win32/win32_backend.h"
#include "platform/paths.h"

int main(int argc, char** argv) {
  using namespace nuv;
  const bool window = argc == 2 && std::string(argv[1]) == "--window";
  if (argc > 1 && !window) {
    std::fprintf(stderr, "usage: nuvhost [--window]\n");
    return 2;
  }
  const std::string path = platform::PathText(platform::ProgramFolder() / "nuv.dll");
  std::string error;
  std::unique_ptr<fw::PluginLibrary> plugin = fw::PluginLibrary::Open(path, error);
  if (!plugin) {
    std::fprintf(stderr, "nuvhost: %s\n", error.c_str());
    return 1;
  }
  int result = 0;
  {
    std::unique_ptr<fw::Backend> backend;
    fw::win32::Win32Backend* win32 = nullptr;
    if (window) {
      auto real =
          std::make_unique<fw::win32::Win32Backend>(fw::win32::Win32Backend::Mode::kInteractive);
      win32 = real.get();
      backend = std::move(real);
    } else {
      backend = std::make_unique<fw::headless::HeadlessBackend>();
    }
    fw::Application app("nuvhost", std::move(backend));
    app.CreatePage();
    const char* title = plugin->get_title();
    std::printf("title %s\n", title != nullptr ? title : "");
    std::printf("gui %d\n", plugin->is_gui());
    app.RunCommand([&] { result = plugin->init(app.page(), 0); });
    std::printf("init %d\n", result);
    std::fflush(stdout);
    if (win32 != nullptr) {
      app.LayoutPage();
      win32->RunMessageLoop();
    }
    app.DestroyPage();
    app.Flush();
  }
  plugin->deinit();
  return result == 1 ? 0 : 1;
}
