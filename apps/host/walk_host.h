#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "framework/picture.h"

namespace nuv::fw {
class Window;
}

namespace nuv::host {

// What the screenshot walk needs of the windowing system it runs on: the
// host's window with the page, time that passes, pictures of windows, and
// the modal boxes (message boxes, file dialogs) that open on the way. The
// walk itself, what it opens and what it names the pictures, is the same on
// every system.
class WalkHost {
 public:
  enum class Modal { kFileDialog, kMessageBox };

  // A picture of a window, and what is wrong with it that only the
  // windowing system can tell (a text that did not render); no picture
  // when it could not be taken.
  struct Shot {
    fw::Picture picture;
    std::vector<std::string> problems;
  };

  WalkHost() = default;
  virtual ~WalkHost() = default;
  WalkHost(const WalkHost&) = delete;
  WalkHost& operator=(const WalkHost&) = delete;

  // Shows the host's window, sized so that the page shows the whole pane;
  // the pane (the window the plug-in put on the page), null when none.
  virtual fw::Window* ShowPage() = 0;
  // Lets the windowing system run (timers, painting) for `ms` milliseconds.
  virtual void Settle(int ms) = 0;
  // Why the tool's texts would not show in the dialog font; nothing when
  // they would.
  virtual std::optional<std::string> FontProblem() const = 0;

  // Calls `handler` with each modal box once it is up, before anybody
  // answers it; the handler answers it. An empty handler: nobody is called.
  virtual void SetModalHandler(std::function<void(Modal)> handler) = 0;

  // Pictures of the host's window, of a top-level window of the tool, and
  // of the modal box that is up.
  virtual Shot ShootPage() = 0;
  virtual Shot ShootWindow(fw::Window& window) = 0;
  virtual Shot ShootModal() = 0;
  // Answers the file dialog that is up with `path`, as a user who typed it
  // would; false when it did not take it.
  virtual bool AnswerFileDialog(const std::filesystem::path& path) = 0;
  // Closes the modal box that is up: a file dialog cancelled, a message
  // box with its default button.
  virtual void CloseModal() = 0;
};

}  // namespace nuv::host
