// nuvhost on Windows: loads nuv.dll from its own folder, asks for the title
// and whether the plug-in has a user interface, hands dll_init its page, and
// prints each answer as nuv-drive does. The page is a window of the headless
// backend, taken down at once; with --window it is a real window of the
// Win32 backend, which the user works with until they close it. Then it
// calls dll_deinit, as a host that closes. Exit 0 when the plug-in made its
// form.
//
// nuvhost --screenshots FOLDER [--samples FOLDER] walks the sample images
// through the tool's real windows without a person and saves a picture of
// every window in FOLDER, as the Qt host does; exit status 1 when a window
// could not be shown or captured.
//
// nuvhost --register-spreadsheet (--unregister-spreadsheet) enters the
// stand-in spreadsheet application, nuvxl.dll beside nuvhost, into the
// current user's classes as "Excel.Application" (takes it out again), for a
// machine without a spreadsheet application.
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "framework/application.h"
#include "framework/headless/headless_backend.h"
#include "framework/plugin_library.h"
#include "framework/win32/win32_backend.h"
#include "platform/paths.h"
#include "platform/shared_library.h"
#include "screenshot_walk.h"
#include "win32_walk_host.h"

namespace {

// nuvxl.dll's DllInstall: registers (install) or unregisters for the
// scope named, "user" for the current user. The result is an HRESULT.
using DllInstallFunction = long(__stdcall*)(int install, const wchar_t* scope);
// The HRESULT when another class is registered as "Excel.Application".
constexpr unsigned long kAnotherClassRegistered = 0x80040201;  // SELFREG_E_CLASS

int RegisterSpreadsheet(bool install) {
  using namespace nuv;
  const std::string path = platform::PathText(platform::ProgramFolder() / "nuvxl.dll");
  const platform::Result<std::unique_ptr<platform::SharedLibrary>> loaded =
      platform::SharedLibrary::Load(path);
  if (!loaded.ok()) {
    std::fprintf(stderr, "nuvhost: %s\n", loaded.error().c_str());
    return 1;
  }
  const std::unique_ptr<platform::SharedLibrary>& server = loaded.value();
  auto dll_install = reinterpret_cast<DllInstallFunction>(server->Symbol("DllInstall"));
  if (dll_install == nullptr) {
    std::fprintf(stderr, "nuvhost: %s has no DllInstall\n", path.c_str());
    return 1;
  }
  const auto result = static_cast<unsigned long>(dll_install(install ? 1 : 0, L"user"));
  if (result == kAnotherClassRegistered) {
    std::fprintf(stderr,
                 "nuvhost: another spreadsheet application is registered as "
                 "Excel.Application; nothing was changed\n");
    return 1;
  }
  if (result != 0) {
    std::fprintf(stderr, "nuvhost: %s for the current user failed (0x%08lX)\n",
                 install ? "registering nuvxl.dll" : "unregistering nuvxl.dll", result);
    return 1;
  }
  std::printf("%s %s as Excel.Application for the current user\n",
              install ? "registered" : "unregistered", path.c_str());
  return 0;
}

constexpr char kUsage[] =
    "usage: nuvhost [--window | --screenshots FOLDER [--samples FOLDER] |\n"
    "                --register-spreadsheet | --unregister-spreadsheet]\n";

// What nuvhost was asked to do besides loading the plug-in.
struct Options {
  bool window = false;
  std::optional<std::string> screenshots;  // the folder for the pictures
  std::string samples = "samples";
};

std::optional<Options> Parse(const std::vector<std::string>& args) {
  Options options;
  bool samples_given = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool has_value = i + 1 < args.size();
    if (arg == "--window") {
      options.window = true;
    } else if (arg == "--screenshots" && has_value) {
      options.screenshots = args[++i];
    } else if (arg == "--samples" && has_value) {
      options.samples = args[++i];
      samples_given = true;
    } else {
      return std::nullopt;
    }
  }
  if ((options.window && args.size() > 1) || (samples_given && !options.screenshots))
    return std::nullopt;
  return options;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace nuv;
  if (argc == 2 && (std::strcmp(argv[1], "--register-spreadsheet") == 0 ||
                    std::strcmp(argv[1], "--unregister-spreadsheet") == 0))
    return RegisterSpreadsheet(argv[1][2] == 'r');
  const std::optional<Options> options = Parse({argv + 1, argv + argc});
  if (!options) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const bool window = options->window || options->screenshots.has_value();
  const std::string path = platform::PathText(platform::ProgramFolder() / "nuv.dll");
  platform::Result<std::unique_ptr<fw::PluginLibrary>> opened = fw::PluginLibrary::Open(path);
  if (!opened.ok()) {
    std::fprintf(stderr, "nuvhost: %s\n", opened.error().c_str());
    return 1;
  }
  const std::unique_ptr<fw::PluginLibrary> plugin = std::move(opened.value());
  int result = 0;
  int walk_problems = 0;
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
    if (win32 != nullptr && options->screenshots) {
      std::cout << std::unitbuf;  // the walk's progress as it goes
      host::Win32WalkHost walk_host(app, *win32);
      host::ScreenshotWalk walk(walk_host, app, *options->screenshots, options->samples, std::cout);
      walk_problems = walk.Run();
    } else if (win32 != nullptr) {
      app.LayoutPage();
      win32->RunMessageLoop();
    }
    app.DestroyPage();
    app.Flush();
  }
  plugin->deinit();
  return result == 1 && walk_problems == 0 ? 0 : 1;
}
