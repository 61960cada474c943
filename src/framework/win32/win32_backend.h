#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "framework/driven_backend.h"
#include "framework/win32/win32_gdi.h"
#include "framework/window_ref.h"

struct HWND__;
struct tagMSG;

namespace nuv::fw::win32 {

using Hwnd = HWND__*;

// The Win32 backend: every framework window gets a native window that
// mirrors it. Forms and dialogs are made by the system from the dialog
// templates that the plug-in's resources hold, with the template's font, so
// that dialog units are the system's; the places the system gave them and
// their controls are written back into the framework, so that screen
// coordinates mean the same to both. Controls made at run time are native
// controls at the framework's pixels; pop-ups (the balloon tip) are a
// window class of our own, painted with GDI.
//
// The framework owns the behaviour: real mouse and keyboard input reaches it
// as input messages (PreTranslateMessage) before the native controls see
// it, and what a native control reports (typing, a picked item) is handed
// on as the user's action.
//
// Driven, it is a DrivenBackend: message boxes and file dialogs are answered
// by the script before any real box is shown, and timers run on the
// script's clock; the windows themselves are real. Interactive, boxes are
// MessageBoxW and GetOpenFileNameW and timers are SetTimer's.
class Win32Backend final : public DrivenBackend {
 public:
  enum class Mode { kInteractive, kDriven };
  explicit Win32Backend(Mode mode);
  ~Win32Backend() override;
  Win32Backend(const Win32Backend&) = delete;
  Win32Backend& operator=(const Win32Backend&) = delete;

  // The native window of a framework window; null when it has none.
  Hwnd HandleOf(const Window& window) const;
  // The framework window a native window (or its nearest ancestor that has
  // one) shows; null when none.
  Window* WindowOf(Hwnd hwnd) const;

  // Runs the message loop until the page's window is gone.
  void RunMessageLoop();
  // Delivers every message waiting, then returns.
  void Settle() override;

  // The size the system laid a form out at from its template; 0 x 0 for
  // any other window.
  Size LaidOutSize(const Window& form) const;

  // --- for a program that runs without a person (the screenshot walk) ---
  // Called with each system box (a message box, a file dialog) shown in the
  // interactive mode once it is up, from within its modal loop; the hook
  // answers it (TypeIntoFileDialog, CloseSystemBox of win32_modal.h). No
  // hook: the user answers.
  using ModalHook = std::function<void(Hwnd box, bool file_dialog)>;
  void SetModalHook(ModalHook hook) { modal_hook_ = std::move(hook); }

  // The native window's text, place, visibility, enabled and check state
  // and selection, where they differ from the framework's.
  std::string ShownDifference(const Window& window) const override;

  // --- Backend ---
  void WindowCreated(Window& window) override;
  void WindowChanged(Window& window, Change what) override;
  void WindowDestroyed(Window& window) override;
  void Invalidate(Window& window) override;
  int MessageBox(const Window* owner, std::string_view caption, std::string_view text,
                 uint32_t type) override;
  std::optional<std::string> FileDialog(const FileDialogRequest& request) override;
  void SetTimer(Window& window, uint32_t id, uint32_t elapse_ms) override;
  bool KillTimer(Window& window, uint32_t id) override;
  Size ScreenSize() const override;
  Point CursorPos() const override;
  // Moves the cursor as far as the framework can tell (scripted input); the
  // real pointer stays where it is.
  void SetCursorPos(Point screen) override { synthetic_cursor_ = screen; }
  Rect MeasureText(const Font& font, std::string_view text, const Rect& bounds,
                   uint32_t flags) const override;
  Font StatusFont() const override;
  ColorRef GetSysColour(SystemColour which) const override;

  // --- what the window procedures report ---
  // A native notification (WM_COMMAND) from a control.
  void OnNativeCommand(Hwnd control, uint32_t code);
  // The user asked a top-level window to close.
  void OnCloseRequest(Hwnd hwnd);
  // A window of ours paints (WM_PAINT).
  void OnPaintRequest(Hwnd hwnd);
  // A scroll bar of a window of ours was moved (WM_VSCROLL's code; the
  // wheel comes as the arrows' codes).
  void OnScrollRequest(Hwnd hwnd, int request);
  // A timer of SetTimer's went off.
  void OnNativeTimer(uintptr_t key);
  // The watch for a system box that the modal hook waits for looks again.
  void OnBoxWatch();

 private:
  struct Entry {
    WindowRef<> window;
    Hwnd hwnd = nullptr;
    // A form or dialog the system made from a template: its controls, in
    // template order, waiting for the framework's controls to claim them.
    std::vector<Hwnd> template_controls;
    size_t claimed = 0;
    bool from_template = false;
    // A form's height as its template lays it out, and how far the user
    // has scrolled it up within the host's page.
    int form_width = 0;
    int form_height = 0;
    int form_scroll = 0;
  };

  Hwnd MakeWindow(Window& window);
  Hwnd MakeFromTemplate(Window& window, Hwnd parent);
  Hwnd MakeControl(Window& window, Hwnd parent);
  // The template control of the parent that this control stands for.
  Hwnd Claim(Window& control, Entry& parent);
  Entry* Find(const Window& window);
  void ApplyAll(Window& window, Entry& entry);
  void ApplyText(Window& window, Hwnd hwnd);
  void ApplyGeometry(Window& window, Hwnd hwnd);
  void ApplyVisibility(Window& window, Hwnd hwnd);
  void ApplyFont(Window& window, Hwnd hwnd);
  void ApplyItems(Window& window, Hwnd hwnd);
  void ApplyScroll(Window& window, Hwnd hwnd);
  // Scrolls a form taller than the page to `pos`, moving its controls as a
  // scrolling view moves its child windows.
  void ScrollForm(Window& form, Entry& entry, int pos);
  void ApplyCheck(Window& window, Hwnd hwnd);
  // Writes where the system put a window into the framework.
  void ReadPlacement(Window& window, Hwnd hwnd);
  // Hands real input to the framework first; true when it consumed it.
  bool PreTranslate(tagMSG& msg);
  // The dialog (or form) made from a template that holds a native window;
  // null when none does.
  Hwnd DialogHolding(Hwnd hwnd) const;
  // While a system box is shown and a modal hook is set, a thread timer
  // looks for the box until it is up and hands it to the hook.
  void ArmBoxWatch(bool file_dialog);
  void DisarmBoxWatch();
  void Dispatch(tagMSG& msg);

  Mode mode_;
  FontCache mutable fonts_;
  std::unordered_map<uint64_t, Entry> entries_;  // by window serial
  std::unordered_map<Hwnd, uint64_t> serials_;   // by native window
  Hwnd timer_window_ = nullptr;
  std::map<uintptr_t, std::pair<WindowRef<>, uint32_t>> native_timers_;
  std::map<std::pair<uint64_t, uint32_t>, uintptr_t> timer_keys_;
  uintptr_t next_timer_key_ = 1;
  std::optional<Point> synthetic_cursor_;
  // Set while the framework's state is pushed into the native windows or
  // the system's is read back, so that neither side echoes the other.
  bool applying_ = false;
  // Set while a mouse button message is delivered to a native button, whose
  // own click the framework has already handled.
  bool native_click_ = false;
  ModalHook modal_hook_;
  uintptr_t box_watch_ = 0;  // the thread timer's id while it runs
  bool watching_file_dialog_ = false;
};

}  // namespace nuv::fw::win32
