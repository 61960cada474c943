#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "framework/win32/win32_backend.h"
#include "walk_host.h"

namespace nuv::fw {
class Application;
}

namespace nuv::host {

// The screenshot walk on Windows: the page's own window in the Win32
// backend, its message loop, pictures that GDI copies from the windows, and
// the system's message boxes and file dialogs answered from their modal
// loops.
class Win32WalkHost final : public WalkHost {
 public:
  Win32WalkHost(fw::Application& app, fw::win32::Win32Backend& backend);
  ~Win32WalkHost() override;

  fw::Window* ShowPage() override;
  void Settle(int ms) override;
  // The dialogs use the font the system gives "MS Shell Dlg": none to check.
  std::optional<std::string> FontProblem() const override { return std::nullopt; }
  void SetModalHandler(std::function<void(Modal)> handler) override;
  Shot ShootPage() override;
  Shot ShootWindow(fw::Window& window) override;
  Shot ShootModal() override;
  bool AnswerFileDialog(const std::filesystem::path& path) override;
  void CloseModal() override;

 private:
  static Shot Shoot(fw::win32::Hwnd hwnd);

  fw::Application& app_;
  fw::win32::Win32Backend& backend_;
  fw::win32::Hwnd box_ = nullptr;  // the system box up, while the handler runs
  bool file_dialog_ = false;
};

}  // namespace nuv::host
