// nuvhost [--plugin LIBRARY | LIBRARY] [--screenshots FOLDER [--samples FOLDER]]
//
// The host utility: a window titled nuvhost with a page that the plug-in
// fills. With --screenshots it walks the sample images through the tool's
// windows without a person and saves their pictures instead.
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <QApplication>

#include "framework/application.h"
#include "framework/qt/offscreen.h"
#include "framework/qt/qt_backend.h"
#include "host_window.h"
#include "platform/environment.h"
#include "platform/paths.h"
#include "qt_walk_host.h"
#include "screenshot_walk.h"

namespace {

constexpr std::string_view kUsage =
    "usage: nuvhost [--plugin LIBRARY | LIBRARY] [--screenshots FOLDER [--samples FOLDER]]\n"
    "  Loads the plug-in (default: nuv.so beside nuvhost) and shows its page.\n"
    "  --screenshots FOLDER  walk the sample images through the tool's windows\n"
    "                        without a person (on Qt's offscreen platform unless\n"
    "                        QT_QPA_PLATFORM says otherwise) and save a picture of\n"
    "                        every window in FOLDER; exit status 1 when a window\n"
    "                        could not be shown or a text did not render\n"
    "  --samples FOLDER      the sample images, as nuv-samples writes them\n"
    "                        (default: samples in the current directory)\n";

struct Options {
  std::string plugin;
  std::string screenshots;
  std::string samples = "samples";
  bool help = false;
};

int Usage(std::string_view problem) {
  std::cerr << "nuvhost: " << problem << "\n" << kUsage;
  return 2;
}

// What is wrong with the arguments; nothing when they are good.
std::optional<std::string> Parse(const std::vector<std::string>& args, Options& options) {
  bool plugin_given = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool takes_value = arg == "--plugin" || arg == "--screenshots" || arg == "--samples";
    if (takes_value && i + 1 >= args.size())
      return arg + " needs a value";
    if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--plugin" || (!arg.empty() && arg[0] != '-')) {
      if (plugin_given)
        return "only one plug-in can be loaded";
      plugin_given = true;
      options.plugin = arg == "--plugin" ? args[++i] : arg;
    } else if (arg == "--screenshots") {
      options.screenshots = args[++i];
    } else if (arg == "--samples") {
      options.samples = args[++i];
    } else {
      return "unknown option " + arg;
    }
  }
  return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  options.plugin = (nuv::platform::ProgramFolder() / "nuv.so").string();
  if (const std::optional<std::string> problem = Parse({argv + 1, argv + argc}, options))
    return Usage(*problem);
  if (options.help) {
    std::cout << kUsage;
    return 0;
  }
  // Without a display the walk runs on Qt's offscreen platform; it is
  // chosen before Qt starts.
  if (!options.screenshots.empty())
    nuv::fw::qt::UseOffscreenPlatform();
  // Qt reads none of our arguments: it has a -plugin option of its own.
  int qt_argc = 1;
  QApplication qt_app(qt_argc, argv);
  QApplication::setApplicationName(QStringLiteral("nuvhost"));

  auto backend = std::make_unique<nuv::fw::qt::QtBackend>();
  nuv::fw::qt::QtBackend& qt_backend = *backend;
  nuv::fw::Application app("nuvhost", std::move(backend));
  nuv::host::HostWindow host(app, qt_backend);
  if (const std::optional<std::string> error = host.Load(options.plugin)) {
    std::cerr << "nuvhost: " << *error << "\n";
    return 1;
  }

  if (!options.screenshots.empty()) {
    // Nobody watches the walk: nothing it does may open a program on a
    // desktop (the spreadsheet program a workbook is shown in). Qt has
    // connected to its display already.
    nuv::platform::RemoveFromEnvironment("DISPLAY");
    nuv::platform::RemoveFromEnvironment("WAYLAND_DISPLAY");
    int problems = 0;
    {
      nuv::host::QtWalkHost walk_host(host, qt_backend);
      nuv::host::ScreenshotWalk walk(walk_host, app, options.screenshots, options.samples,
                                     std::cout);
      problems = walk.Run();
    }
    host.ShutDown();
    return problems == 0 ? 0 : 1;
  }
  host.show();
  host.FitPage(true);
  return QApplication::exec();
}
