#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/backend.h"
#include "framework/constants.h"
#include "framework/geometry.h"
#include "framework/msg.h"

namespace nuv::fw {

class Window;

// The host application: its title (the caption of application message
// boxes), the backend behind every window, and the page window that the host
// gives to the plug-in. One runs at a time; windows find it through
// Current(). It also is the command dispatcher: every command, timer and
// input message runs through RunCommand, which is the only place where
// exceptions of a handler are caught.
class Application {
 public:
  Application(std::string title, std::unique_ptr<Backend> backend);
  // Destroys the page and every window still up, then deletes what was kept
  // for deletion.
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  static Application* Current();

  const std::string& title() const { return title_; }
  void SetTitle(std::string title) { title_ = std::move(title); }
  Backend& backend() const { return *backend_; }

  // --- the host's page ---
  // A visible top-level window filling the screen; made once.
  Window& CreatePage();
  Window* page() const { return page_.get(); }
  // Lays the page out as a frame does: its first pane (the child with id
  // AFX_IDW_PANE_FIRST) fills its client area.
  void LayoutPage();
  void DestroyPage();

  // --- boxes ---
  // The application's modal box, captioned with the title.
  int MessageBox(std::string_view text, uint32_t type = MB_OK);

  // --- dispatch ---
  // Runs a command. An exception derived from nuv::CommandError (an
  // automation or file error) is caught here, its text shown in an
  // application box, and the command abandoned; any other exception is shown
  // the same way rather than ending the program. Objects given to DeleteLater
  // are deleted when the outermost command ends. False when the command was
  // abandoned.
  bool RunCommand(const std::function<void()>& command);
  // Delivers an input message as a command: the target and then each parent
  // up to its top-level window see it in PreTranslateMessage (true consumes
  // it); unless consumed, the target handles it (OnInput). True when a
  // PreTranslateMessage consumed it, so that a real windowing system does
  // not hand it to its own control as well.
  bool DispatchInput(const Msg& msg);
  // Deletes `object` once no command is running any more.
  void DeleteLater(std::unique_ptr<Window> object);
  // Deletes what DeleteLater holds, unless a command is running.
  void Flush();

  // --- windows on the screen ---
  // The topmost visible window under a screen point, then its deepest visible
  // child there, as WindowFromPoint finds it: the window shown last is on top
  // (top-most pop-ups above all others); among children the first made is on
  // top; group boxes and static labels let the point through to what lies
  // beneath them, and a disabled child gives the point to its parent.
  Window* WindowFromPoint(Point screen) const;
  // Top-level windows that exist, the topmost first.
  std::vector<Window*> TopLevelWindows() const;
  Point GetCursorPos() const { return backend_->CursorPos(); }

 private:
  friend class Window;

  // Keeps Flush from deleting anything while it lives.
  class Busy {
   public:
    explicit Busy(Application* app) : app_(app) {
      if (app_ != nullptr)
        ++app_->running_;
    }
    ~Busy() {
      if (app_ != nullptr)
        --app_->running_;
    }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

   private:
    Application* app_;
  };

  void AddTopLevel(Window& window);
  void RemoveTopLevel(const Window& window);
  void BringToTop(Window& window);
  Window* FirstOwnedBy(const Window& owner) const;
  void ShowCommandError(std::string_view text);

  std::string title_;
  std::unique_ptr<Backend> backend_;
  std::unique_ptr<Window> page_;
  std::vector<Window*> z_order_;  // bottom first
  std::vector<std::unique_ptr<Window>> graveyard_;
  int running_ = 0;  // depth of nested commands
  Application* previous_ = nullptr;
};

}  // namespace nuv::fw
