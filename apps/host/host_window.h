#pragma once

#include <memory>
#include <optional>
#include <string>

#include <QMainWindow>

#include "framework/plugin_library.h"

class QTabWidget;

namespace nuv::fw {
class Application;
class Window;
namespace qt {
class QtBackend;
}
}  // namespace nuv::fw

namespace nuv::host {

// The host utility's main window: titled with the application's title, a
// tab per page, and in it the page the plug-in fills. It owns the loaded
// plug-in and takes the plug-in's windows down before unloading it.
class HostWindow final : public QMainWindow {
 public:
  HostWindow(fw::Application& app, fw::qt::QtBackend& backend);
  ~HostWindow() override;
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;

  // Loads the plug-in library, names the page's tab with dll_get_title and,
  // when dll_is_gui says it has a user interface, makes the page and hands
  // it to dll_init. Why it could not; nothing when it did.
  [[nodiscard]] std::optional<std::string> Load(const std::string& path);

  // The window the plug-in put on the page (its first pane), if any.
  fw::Window* Pane() const;

  // Sizes the window so that the page shows the whole pane; with
  // `within_screen`, no larger than the screen's free area (the pane then
  // scrolls).
  void FitPage(bool within_screen);

  // Destroys the page and every other window the plug-in made, calls
  // dll_deinit and unloads the plug-in. Nothing happens a second time.
  void ShutDown();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  fw::Application& app_;
  fw::qt::QtBackend& backend_;
  QTabWidget* tabs_;  // Qt deletes it with the window
  QWidget* page_area_ = nullptr;
  std::unique_ptr<fw::PluginLibrary> plugin_;
};

}  // namespace nuv::host
