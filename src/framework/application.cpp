#include "framework/application.h"

#include <algorithm>
#include <exception>
#include <new>
#include <utility>

#include "framework/window.h"
#include "framework/window_ref.h"
#include "platform/errors.h"

namespace nuv::fw {
namespace {

Application* g_current = nullptr;

// Group boxes and labels answer a hit test with "transparent" on Windows, so
// the point goes on to the window beneath them.
bool LetsPointThrough(const Window& window) {
  if (window.kind() == WindowKind::GroupBox)
    return true;
  return window.kind() == WindowKind::Static && (window.GetStyle() & SS_NOTIFY) == 0;
}

}  // namespace

Application::Application(std::string title, std::unique_ptr<Backend> backend)
    : title_(std::move(title)), backend_(std::move(backend)), previous_(g_current) {
  g_current = this;
}

Application::~Application() {
  DestroyPage();
  while (!z_order_.empty())
    z_order_.back()->DestroyWindow();
  running_ = 0;
  Flush();
  g_current = previous_;
}

Application* Application::Current() {
  return g_current;
}

Window& Application::CreatePage() {
  if (!page_) {
    page_ = std::make_unique<Window>();
    const Size screen = backend_->ScreenSize();
    page_->CreateEx(0, WindowKind::Frame, title_, WS_POPUP | WS_VISIBLE,
                    {0, 0, screen.cx, screen.cy}, nullptr, 0);
  }
  return *page_;
}

void Application::LayoutPage() {
  if (!page_ || !page_->IsWindow())
    return;
  if (Window* pane = page_->GetDlgItem(AFX_IDW_PANE_FIRST))
    pane->MoveWindow(page_->GetClientRect());
}

void Application::DestroyPage() {
  if (!page_)
    return;
  page_->DestroyWindow();
  Flush();
  page_.reset();
}

int Application::MessageBox(std::string_view text, uint32_t type) {
  return backend_->MessageBox(nullptr, title_, text, type);
}

void Application::ShowCommandError(std::string_view text) {
  try {
    MessageBox(text);
  } catch (...) {
    // Nothing more can be told; the command is abandoned either way.
  }
}

bool Application::RunCommand(const std::function<void()>& command) {
  bool completed = false;
  ++running_;
  try {
    command();
    completed = true;
  } catch (const CommandError& error) {
    ShowCommandError(error.what());
  } catch (const std::bad_alloc&) {
    ShowCommandError("Out of memory.");
  } catch (const std::exception& error) {
    ShowCommandError(error.what());
  } catch (...) {
    ShowCommandError("An unexpected error ended the command.");
  }
  --running_;
  Flush();
  return completed;
}

bool Application::DispatchInput(const Msg& msg) {
  bool consumed = false;
  RunCommand([&] {
    // Each window of the walk may destroy windows; the handles tell which
    // are still there.
    std::vector<WindowRef<>> walk;
    for (Window* w = msg.target; w != nullptr; w = w->IsTopLevel() ? nullptr : w->GetParent())
      walk.emplace_back(w);
    if (walk.empty())
      return;
    for (const WindowRef<>& ref : walk) {
      if (Window* w = ref.get(); w != nullptr && w->PreTranslateMessage(msg)) {
        consumed = true;
        return;
      }
    }
    if (Window* target = walk.front().get())
      target->OnInput(msg);
  });
  return consumed;
}

void Application::DeleteLater(std::unique_ptr<Window> object) {
  if (object)
    graveyard_.push_back(std::move(object));
}

void Application::Flush() {
  if (running_ > 0)
    return;
  // Deleting an object can give up more objects; keep going until none is
  // left.
  while (!graveyard_.empty()) {
    std::vector<std::unique_ptr<Window>> batch = std::move(graveyard_);
    graveyard_.clear();
    batch.clear();
  }
}

Window* Application::WindowFromPoint(Point screen) const {
  for (auto it = z_order_.rbegin(); it != z_order_.rend(); ++it) {
    Window* window = *it;
    if (!window->IsWindowVisible() || !window->GetWindowRect().Contains(screen))
      continue;
    for (;;) {
      const Point client = window->ScreenToClient(screen);
      Window* next = nullptr;
      for (Window* child : window->children()) {
        if ((child->GetStyle() & WS_VISIBLE) != 0 && child->rect().Contains(client) &&
            !LetsPointThrough(*child)) {
          next = child;
          break;
        }
      }
      if (next == nullptr || !next->IsWindowEnabled())
        return window;
      window = next;
    }
  }
  return nullptr;
}

std::vector<Window*> Application::TopLevelWindows() const {
  return {z_order_.rbegin(), z_order_.rend()};
}

void Application::AddTopLevel(Window& window) {
  z_order_.push_back(&window);
  BringToTop(window);
}

void Application::RemoveTopLevel(const Window& window) {
  std::erase(z_order_, &window);
}

void Application::BringToTop(Window& window) {
  std::erase(z_order_, &window);
  // Top-most windows stay above all others.
  auto place = z_order_.end();
  if ((window.GetExStyle() & WS_EX_TOPMOST) == 0) {
    place = std::find_if(z_order_.begin(), z_order_.end(),
                         [](const Window* w) { return (w->GetExStyle() & WS_EX_TOPMOST) != 0; });
  }
  z_order_.insert(place, &window);
}

Window* Application::FirstOwnedBy(const Window& owner) const {
  for (Window* window : z_order_) {
    if (window->GetOwner() == &owner)
      return window;
  }
  return nullptr;
}

}  // namespace nuv::fw
