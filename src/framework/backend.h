#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "framework/constants.h"
#include "framework/font.h"
#include "framework/geometry.h"

namespace nuv::fw {

class Window;

// What changed in a window, so that a backend can mirror it.
enum class Change {
  Text,
  Geometry,
  Visibility,
  Enabled,
  Font,
  Check,
  Items,
  Selection,
  Scroll,  // a ScrollArea's contents, line height or position
};

// A file dialog as the framework asks for it. The backend shows it and
// answers with what the user typed or picked (nothing when cancelled); the
// framework then applies the default extension.
struct FileDialogRequest {
  bool open = true;                                         // open or save
  const Window* owner = nullptr;                            // may be none
  std::vector<std::pair<std::string, std::string>> filter;  // (text, pattern)
  std::string initial_name;
  std::string default_extension;  // without the dot; empty for none
  uint32_t flags = 0;             // OFN_*
};

// Colours of the system that custom-painted windows take as their defaults.
enum class SystemColour { TooltipBackground, TooltipText };

// The windowing system behind the framework. The framework keeps every
// window's state itself (text, rectangle, flags, children, items) and tells
// the backend what changed; a backend mirrors it (the headless one keeps
// nothing, a real one has widgets), answers modal requests and runs timers.
class Backend {
 public:
  virtual ~Backend() = default;

  // The window tree. WindowCreated comes after the window's state is set and
  // before its children are made; WindowDestroyed after its children and
  // owned windows are gone, while its own state is still there.
  virtual void WindowCreated(Window& window) = 0;
  virtual void WindowChanged(Window& window, Change what) = 0;
  virtual void WindowDestroyed(Window& window) = 0;
  // A custom-painted window wants to be painted again.
  virtual void Invalidate(Window& window) = 0;

  // Modal requests. MessageBox answers with the button pressed: IDOK, or
  // IDYES or IDNO for a box of type MB_YESNO (closed any other way, No).
  virtual int MessageBox(const Window* owner, std::string_view caption, std::string_view text,
                         uint32_t type) = 0;
  virtual std::optional<std::string> FileDialog(const FileDialogRequest& request) = 0;

  // Periodic timers of a window: OnTimer(id) every `elapse_ms` until killed.
  // Setting an id that runs already restarts it with the new period.
  virtual void SetTimer(Window& window, uint32_t id, uint32_t elapse_ms) = 0;
  virtual bool KillTimer(Window& window, uint32_t id) = 0;

  // The screen, the cursor and text.
  virtual Size ScreenSize() const = 0;
  virtual Point CursorPos() const = 0;
  virtual void SetCursorPos(Point screen) = 0;
  // The size of `text` drawn with `font` and DrawText `flags` in `bounds`,
  // as DrawText with DT_CALCRECT reports it: `bounds` with its right and
  // bottom edges moved.
  virtual Rect MeasureText(const Font& font, std::string_view text, const Rect& bounds,
                           uint32_t flags) const = 0;
  // The font of the system's status bar, which tooltips follow.
  virtual Font StatusFont() const = 0;
  virtual ColorRef GetSysColour(SystemColour which) const = 0;
};

}  // namespace nuv::fw
