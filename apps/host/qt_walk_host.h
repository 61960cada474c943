#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "walk_host.h"

class QDialog;
class QWidget;

namespace nuv::fw::qt {
class QtBackend;
}

namespace nuv::host {

class HostWindow;

// The screenshot walk on Qt: the host's main window, Qt's event loop, and
// pictures that QWidget::grab takes, checked for texts that did not render.
class QtWalkHost final : public WalkHost {
 public:
  QtWalkHost(HostWindow& window, fw::qt::QtBackend& backend);
  ~QtWalkHost() override;

  fw::Window* ShowPage() override;
  void Settle(int ms) override;
  std::optional<std::string> FontProblem() const override;
  void SetModalHandler(std::function<void(Modal)> handler) override;
  Shot ShootPage() override;
  Shot ShootWindow(fw::Window& window) override;
  Shot ShootModal() override;
  bool AnswerFileDialog(const std::filesystem::path& path) override;
  void CloseModal() override;

 private:
  static Shot Shoot(QWidget* widget, bool custom_painted);

  HostWindow& window_;
  fw::qt::QtBackend& backend_;
  QDialog* modal_ = nullptr;  // the box up, while the handler runs
};

}  // namespace nuv::host
