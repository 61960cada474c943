#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/backend.h"
#include "framework/constants.h"
#include "framework/font.h"
#include "framework/geometry.h"
#include "framework/msg.h"
#include "framework/runtime_class.h"
#include "framework/window_kind.h"

namespace nuv::fw {

class DataExchange;
class MessageMap;
class Painter;

// A window: the C++ object and, while it is created, the window's state.
//
// Ownership. The object is owned by whoever made it (a std::unique_ptr, or a
// member). Creating the window does not change that; destroying the window
// (DestroyWindow, or the destruction of its parent or owner) leaves the
// object alive and merely uncreated, as an MFC object survives its HWND.
// Two kinds of objects are owned by a window instead:
//  - controls made by the framework (from a template or CreateControl), and
//  - objects handed over with Adopt (a form view given to the host's page, a
//    modeless dialog given to the form that opened it).
// Such an object is released when its own window is destroyed or when the
// window that keeps it is destroyed; the release is deferred to the end of
// the command being handled (Application::DeleteLater), so that a handler
// may destroy its own window safely.
//
// Never keep a raw pointer to a window beyond the current command: keep a
// WindowRef, which turns empty when the window is destroyed, or look the
// control up again with GetDlgItem.
//
// Geometry. A child's rectangle is in its parent's client coordinates, a
// top-level window's on the screen. Windows have no non-client area here: the
// window rectangle and the client area coincide (frames are drawn inside).
class Window {
 public:
  Window();
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  static const RuntimeClass kClass;
  virtual const RuntimeClass& GetRuntimeClass() const;

  // --- creation and destruction ---

  // Creates the window. With WS_CHILD in `style`, `parent` is its parent and
  // must exist; otherwise the window is top-level and `parent`, when given, is
  // its owner (destroyed with it). Fails when the window exists already, when
  // no Application runs, or when a child has no parent.
  bool CreateEx(uint32_t ex_style, WindowKind kind, std::string_view text, uint32_t style,
                const Rect& rect, Window* parent, uint32_t id);
  // Makes a control as a child of this window (rectangle in pixels of this
  // window's client area); the control is owned by this window. Returns it,
  // or null when this window does not exist or `kind` is not a control.
  Window* CreateControl(WindowKind kind, std::string_view text, uint32_t style, const Rect& rect,
                        uint32_t id, uint32_t ex_style = 0);
  // Destroys the window, its owned top-level windows and its children.
  // OnDestroy runs first, PostNcDestroy last. False when it did not exist.
  bool DestroyWindow();
  bool IsWindow() const { return created_; }
  // Keeps `object` alive for as long as this window exists (see above).
  void Adopt(std::unique_ptr<Window> object);

  // --- identity ---
  WindowKind kind() const { return kind_; }
  uint32_t GetDlgCtrlID() const { return id_; }
  // A number no other window of the process had; 0 before the first Create.
  uint64_t serial() const { return serial_; }
  // The runtime class name taken when the window was created.
  const std::string& class_name() const { return class_name_; }

  // --- text, flags, style, font ---
  // An edit whose text changes tells its parent (EN_CHANGE), as a Win32 edit
  // does; setting the same text again does not.
  void SetWindowText(std::string_view text);
  const std::string& GetWindowText() const { return text_; }
  // SW_HIDE hides; any other command shows. Returns whether it was visible.
  bool ShowWindow(int command);
  // The window and every parent up to its top-level window are visible.
  bool IsWindowVisible() const;
  // Returns whether it was disabled.
  bool EnableWindow(bool enable);
  bool IsWindowEnabled() const { return created_ && (style_ & WS_DISABLED) == 0; }
  uint32_t GetStyle() const { return style_; }
  uint32_t GetExStyle() const { return ex_style_; }
  void SetFont(const Font& font, bool redraw = true);
  const Font& GetFont() const { return font_; }

  // --- geometry ---
  void MoveWindow(const Rect& rect, bool repaint = true);
  // Moves, sizes, shows or hides in one step (SWP_* flags). Unless
  // SWP_NOZORDER is given, a top-level window goes on top of the others.
  bool SetWindowPos(const Rect& rect, uint32_t flags);
  // On the screen.
  Rect GetWindowRect() const;
  // In the window's own client coordinates: (0, 0, width, height).
  Rect GetClientRect() const;
  // In the parent's client coordinates for a child, on the screen otherwise.
  const Rect& rect() const { return rect_; }
  Point ClientToScreen(Point p) const;
  Rect ClientToScreen(const Rect& r) const;
  Point ScreenToClient(Point p) const;
  Rect ScreenToClient(const Rect& r) const;
  // The child under a point of this window's client area, hidden and disabled
  // children included (ChildWindowFromPoint with CWP_ALL): the first child in
  // creation order that contains it, else this window when the point lies in
  // the client area, else null.
  Window* ChildWindowFromPoint(Point client);

  // --- family ---
  // The parent of a child, the owner of a top-level window (as Win32's
  // GetParent).
  Window* GetParent() const { return parent_ ? parent_ : owner_; }
  Window* GetOwner() const { return owner_; }
  bool IsTopLevel() const { return parent_ == nullptr; }
  Window* GetTopLevelWindow();
  bool IsDescendantOf(const Window& ancestor) const;
  // The first direct child with the id.
  Window* GetDlgItem(uint32_t id) const;
  template <class T>
  T* GetDlgItemAs(uint32_t id) const {
    return dynamic_cast<T*>(GetDlgItem(id));
  }
  // In creation order.
  const std::vector<Window*>& children() const { return children_; }

  // --- timers ---
  bool SetTimer(uint32_t id, uint32_t elapse_ms);
  bool KillTimer(uint32_t id);

  // --- boxes ---
  // This window's own modal box; its caption is "error" unless given.
  int MessageBox(std::string_view text, std::string_view caption = "error", uint32_t type = MB_OK);

  // --- data exchange ---
  // Runs DoDataExchange: controls into members when saving, members into
  // controls otherwise. False when a control held a value it could not take
  // (the user has been told).
  bool UpdateData(bool save_and_validate = true);
  virtual void DoDataExchange(DataExchange& dx);

  // --- commands ---
  // The routes of this class; a derived class's map names it as its base.
  static const MessageMap& ClassMessageMap();
  virtual const MessageMap& GetMessageMap() const;
  // Routes a notification from the control `id` through the message map;
  // the handler runs as a command (Application::RunCommand). False when no
  // entry matched.
  bool OnCommand(uint32_t id, uint32_t code);
  // Sends a notification of this control to its parent.
  void NotifyParent(uint32_t code);

  // --- input, timers, painting ---
  // Sees every input message for this window or its children before it is
  // handled; true consumes it.
  virtual bool PreTranslateMessage(const Msg& msg);
  // Handles an input message that reached this window.
  virtual void OnInput(const Msg& msg);
  virtual void OnTimer(uint32_t id);
  // Draws a custom-painted window.
  virtual void OnPaint(Painter& painter);
  void Invalidate();

 protected:
  // The window is being destroyed; its children still exist.
  virtual void OnDestroy();
  // The window has been destroyed; the object is uncreated now.
  virtual void PostNcDestroy();
  // Tells the backend that something of this window changed.
  void Changed(Change what);

 private:
  template <class T>
  friend class WindowRef;
  friend class Application;

  void SetVisibleFlag(bool visible, bool bring_to_top);
  // Gives up the object this window keeps, to be deleted later.
  void Release(Window& object);
  void ReleaseAll();

  bool created_ = false;
  bool destroying_ = false;
  WindowKind kind_ = WindowKind::Frame;
  uint32_t id_ = 0;
  uint64_t serial_ = 0;
  std::string class_name_;
  std::string text_;
  Rect rect_;
  uint32_t style_ = 0;
  uint32_t ex_style_ = 0;
  Font font_;
  Window* parent_ = nullptr;
  Window* owner_ = nullptr;
  Window* keeper_ = nullptr;  // the window whose kept_ holds this object
  std::vector<Window*> children_;
  std::vector<std::unique_ptr<Window>> kept_;
  // Expires with the window; WindowRef watches it.
  std::shared_ptr<const int> life_;
};

}  // namespace nuv::fw
