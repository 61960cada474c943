#include "win32_walk_host.h"

#include <algorithm>
#include <chrono>
#include <thread>
#include <utility>

#include "framework/application.h"
#include "framework/constants.h"
#include "framework/win32/win32_gdi.h"
#include "framework/window.h"
#include "platform/paths.h"
// After the framework's headers.
#include "framework/win32/win32_modal.h"

namespace nuv::host {
namespace {

// How long the walk sleeps between two looks at the message queue.
constexpr std::chrono::milliseconds kQueuePoll{10};

}  // namespace

Win32WalkHost::Win32WalkHost(fw::Application& app, fw::win32::Win32Backend& backend)
    : app_(app), backend_(backend) {}

Win32WalkHost::~Win32WalkHost() {
  backend_.SetModalHook(nullptr);
}

fw::Window* Win32WalkHost::ShowPage() {
  fw::Window* page = app_.page();
  fw::Window* pane = page != nullptr ? page->GetDlgItem(fw::AFX_IDW_PANE_FIRST) : nullptr;
  if (pane == nullptr)
    return nullptr;
  // The page as large as the form that its template lays out, as far as the
  // screen has room: the form scrolls within it when the screen is smaller.
  const fw::Size form = backend_.LaidOutSize(*pane);
  const fw::Size screen = backend_.ScreenSize();
  if (form.cx > 0 && form.cy > 0) {
    app_.RunCommand([&] {
      page->MoveWindow({0, 0, std::min(form.cx, screen.cx), std::min(form.cy, screen.cy)}, true);
    });
  }
  app_.LayoutPage();
  Settle(300);
  return pane;
}

void Win32WalkHost::Settle(int ms) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  do {
    backend_.Settle();
    std::this_thread::sleep_for(kQueuePoll);
  } while (std::chrono::steady_clock::now() < deadline);
  backend_.Settle();
}

void Win32WalkHost::SetModalHandler(std::function<void(Modal)> handler) {
  if (!handler) {
    backend_.SetModalHook(nullptr);
    return;
  }
  backend_.SetModalHook(
      [this, handler = std::move(handler)](fw::win32::Hwnd box, bool file_dialog) {
        box_ = box;
        file_dialog_ = file_dialog;
        handler(file_dialog ? Modal::kFileDialog : Modal::kMessageBox);
        box_ = nullptr;
      });
}

WalkHost::Shot Win32WalkHost::Shoot(fw::win32::Hwnd hwnd) {
  Shot shot;
  shot.picture = fw::win32::CaptureWindow(hwnd);
  if (shot.picture.empty())
    shot.problems.emplace_back(hwnd == nullptr ? "the window is not shown"
                                               : "the window could not be captured");
  return shot;
}

WalkHost::Shot Win32WalkHost::ShootPage() {
  const fw::Window* page = app_.page();
  return Shoot(page != nullptr ? backend_.HandleOf(*page) : nullptr);
}

WalkHost::Shot Win32WalkHost::ShootWindow(fw::Window& window) {
  return Shoot(backend_.HandleOf(window));
}

WalkHost::Shot Win32WalkHost::ShootModal() {
  return Shoot(box_);
}

bool Win32WalkHost::AnswerFileDialog(const std::filesystem::path& path) {
  return box_ != nullptr && fw::win32::TypeIntoFileDialog(box_, platform::PathText(path));
}

void Win32WalkHost::CloseModal() {
  if (box_ != nullptr)
    fw::win32::CloseSystemBox(box_, file_dialog_);
}

}  // namespace nuv::host
