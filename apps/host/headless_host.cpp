// nuvhost on Windows, until the Windows build has native windows: loads
// nuv.dll from its own folder, asks for the title and whether the plug-in
// has a user interface, hands dll_init its page (a window of the headless
// backend), and prints each answer as nuv-drive does. Then it takes the
// page down and calls dll_deinit, as a host that closes. Exit 0 when the
// plug-in made its form.
#include <cstdio>
#include <memory>
#include <string>

#include "framework/application.h"
#include "framework/headless/headless_backend.h"
#include "framework/plugin_library.h"
#include "platform/paths.h"

int main() {
  using namespace nuv;
  const std::string path = platform::PathText(platform::ProgramFolder() / "nuv.dll");
  std::string error;
  std::unique_ptr<fw::PluginLibrary> plugin = fw::PluginLibrary::Open(path, error);
  if (!plugin) {
    std::fprintf(stderr, "nuvhost: %s\n", error.c_str());
    return 1;
  }
  int result = 0;
  {
    fw::Application app("nuvhost", std::make_unique<fw::headless::HeadlessBackend>());
    app.CreatePage();
    const char* title = plugin->get_title();
    std::printf("title %s\n", title != nullptr ? title : "");
    std::printf("gui %d\n", plugin->is_gui());
    app.RunCommand([&] { result = plugin->init(app.page(), 0); });
    std::printf("init %d\n", result);
    app.DestroyPage();
    app.Flush();
  }
  plugin->deinit();
  return result == 1 ? 0 : 1;
}
