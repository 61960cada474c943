#include "framework/window.h"

#include <algorithm>
#include <utility>

#include "framework/application.h"
#include "framework/button.h"
#include "framework/combo_box.h"
#include "framework/data_exchange.h"
#include "framework/message_map.h"
#include "framework/window_ref.h"

namespace nuv::fw {
namespace {

uint64_t g_next_serial = 1;

std::unique_ptr<Window> MakeControlObject(WindowKind kind) {
  switch (kind) {
    case WindowKind::Button:
    case WindowKind::CheckBox:
    case WindowKind::GroupBox:
      return std::make_unique<Button>();
    case WindowKind::ComboBox:
      return std::make_unique<ComboBox>();
    default:
      return std::make_unique<Window>();
  }
}

}  // namespace

constinit const RuntimeClass Window::kClass{"Window", &CreateInstance<Window>};

Window::Window() = default;

Window::~Window() {
  // Only this class's part of the object is left here: a derived class whose
  // OnDestroy matters destroys its window in its own destructor.
  DestroyWindow();
  // What this window still keeps goes with it.
  for (std::unique_ptr<Window>& object : kept_)
    object->keeper_ = nullptr;
  kept_.clear();
}

const RuntimeClass& Window::GetRuntimeClass() const {
  return kClass;
}

bool Window::CreateEx(uint32_t ex_style, WindowKind kind, std::string_view text, uint32_t style,
                      const Rect& rect, Window* parent, uint32_t id) {
  Application* app = Application::Current();
  if (created_ || app == nullptr)
    return false;
  const bool child = (style & WS_CHILD) != 0;
  if (child && (parent == nullptr || !parent->created_))
    return false;
  if (!child && parent != nullptr && !parent->created_)
    return false;

  kind_ = kind;
  id_ = id;
  text_ = std::string(text);
  style_ = style;
  ex_style_ = ex_style;
  rect_ = rect;
  parent_ = child ? parent : nullptr;
  owner_ = child ? nullptr : parent;
  serial_ = g_next_serial++;
  class_name_ = std::string(GetRuntimeClass().class_name);
  life_ = std::make_shared<const int>(0);
  created_ = true;
  if (child)
    parent_->children_.push_back(this);
  else
    app->AddTopLevel(*this);
  app->backend().WindowCreated(*this);
  return true;
}

Window* Window::CreateControl(WindowKind kind, std::string_view text, uint32_t style,
                              const Rect& rect, uint32_t id, uint32_t ex_style) {
  if (!created_ || !IsControl(kind))
    return nullptr;
  std::unique_ptr<Window> control = MakeControlObject(kind);
  if (!control->CreateEx(ex_style, kind, text, style | WS_CHILD, rect, this, id))
    return nullptr;
  Window* made = control.get();
  Adopt(std::move(control));
  return made;
}

bool Window::DestroyWindow() {
  if (!created_ || destroying_)
    return false;
  destroying_ = true;
  Application* app = Application::Current();
  // Nothing given up while the window goes is deleted before it is gone.
  const Application::Busy busy(app);

  // As on Windows, a visible window disappears before it hears that it is
  // being destroyed.
  if ((style_ & WS_VISIBLE) != 0)
    SetVisibleFlag(false, false);
  if (app != nullptr)
    app->RunCommand([this] { OnDestroy(); });
  if (app != nullptr) {
    while (Window* owned = app->FirstOwnedBy(*this))
      owned->DestroyWindow();
  }
  while (!children_.empty())
    children_.front()->DestroyWindow();
  if (app != nullptr)
    app->backend().WindowDestroyed(*this);

  if (parent_ != nullptr)
    std::erase(parent_->children_, this);
  else if (app != nullptr)
    app->RemoveTopLevel(*this);
  parent_ = nullptr;
  owner_ = nullptr;
  life_.reset();
  created_ = false;
  destroying_ = false;

  ReleaseAll();
  if (app != nullptr)
    app->RunCommand([this] { PostNcDestroy(); });
  // Last: this may hand the object itself over for deletion.
  if (keeper_ != nullptr)
    keeper_->Release(*this);
  return true;
}

void Window::Adopt(std::unique_ptr<Window> object) {
  if (!object || object.get() == this)
    return;
  if (object->keeper_ != nullptr)
    return;  // cannot happen: a kept object's unique_ptr is held by its keeper
  object->keeper_ = this;
  kept_.push_back(std::move(object));
}

void Window::Release(Window& object) {
  auto it = std::find_if(kept_.begin(), kept_.end(), [&](const std::unique_ptr<Window>& kept) {
    return kept.get() == &object;
  });
  if (it == kept_.end())
    return;
  std::unique_ptr<Window> released = std::move(*it);
  kept_.erase(it);
  released->keeper_ = nullptr;
  if (Application* app = Application::Current())
    app->DeleteLater(std::move(released));
  // Without an application nothing is running: the object can go now.
}

void Window::ReleaseAll() {
  std::vector<std::unique_ptr<Window>> released = std::move(kept_);
  kept_.clear();
  Application* app = Application::Current();
  for (std::unique_ptr<Window>& object : released) {
    object->keeper_ = nullptr;
    if (app != nullptr)
      app->DeleteLater(std::move(object));
  }
}

void Window::SetWindowText(std::string_view text) {
  if (!created_ || text_ == text)
    return;
  text_ = std::string(text);
  Changed(Change::Text);
  if (kind_ == WindowKind::Edit)
    NotifyParent(EN_CHANGE);
}

bool Window::ShowWindow(int command) {
  const bool was_visible = (style_ & WS_VISIBLE) != 0;
  if (!created_)
    return false;
  const bool show = command != SW_HIDE;
  SetVisibleFlag(show, show && (command == SW_SHOW || command == SW_SHOWNORMAL));
  return was_visible;
}

void Window::SetVisibleFlag(bool visible, bool bring_to_top) {
  const bool was_visible = (style_ & WS_VISIBLE) != 0;
  if (visible)
    style_ |= WS_VISIBLE;
  else
    style_ &= ~WS_VISIBLE;
  Application* app = Application::Current();
  if (visible && bring_to_top && parent_ == nullptr && app != nullptr)
    app->BringToTop(*this);
  if (visible != was_visible)
    Changed(Change::Visibility);
}

bool Window::IsWindowVisible() const {
  if (!created_)
    return false;
  for (const Window* w = this; w != nullptr; w = w->parent_) {
    if ((w->style_ & WS_VISIBLE) == 0)
      return false;
  }
  return true;
}

bool Window::EnableWindow(bool enable) {
  const bool was_disabled = (style_ & WS_DISABLED) != 0;
  if (!created_ || was_disabled == !enable)
    return was_disabled;
  if (enable)
    style_ &= ~WS_DISABLED;
  else
    style_ |= WS_DISABLED;
  Changed(Change::Enabled);
  return was_disabled;
}

void Window::SetFont(const Font& font, bool redraw) {
  font_ = font;
  if (created_)
    Changed(Change::Font);
  if (redraw)
    Invalidate();
}

void Window::MoveWindow(const Rect& rect, bool repaint) {
  if (!created_)
    return;
  rect_ = rect;
  Changed(Change::Geometry);
  if (repaint)
    Invalidate();
}

bool Window::SetWindowPos(const Rect& rect, uint32_t flags) {
  if (!created_)
    return false;
  Rect placed = rect_;
  if ((flags & SWP_NOMOVE) == 0)
    placed = placed.Offset(rect.left - placed.left, rect.top - placed.top);
  if ((flags & SWP_NOSIZE) == 0) {
    placed.right = placed.left + rect.Width();
    placed.bottom = placed.top + rect.Height();
  }
  if (placed != rect_) {
    rect_ = placed;
    Changed(Change::Geometry);
  }
  const bool to_top = (flags & SWP_NOZORDER) == 0;
  if ((flags & SWP_SHOWWINDOW) != 0)
    SetVisibleFlag(true, to_top);
  else if ((flags & SWP_HIDEWINDOW) != 0)
    SetVisibleFlag(false, false);
  else if (to_top && parent_ == nullptr)
    if (Application* app = Application::Current())
      app->BringToTop(*this);
  if ((flags & SWP_NOREDRAW) == 0)
    Invalidate();
  return true;
}

Rect Window::GetWindowRect() const {
  return ClientToScreen(GetClientRect());
}

Rect Window::GetClientRect() const {
  return {0, 0, rect_.Width(), rect_.Height()};
}

Point Window::ClientToScreen(Point p) const {
  for (const Window* w = this; w != nullptr; w = w->parent_) {
    p.x += w->rect_.left;
    p.y += w->rect_.top;
  }
  return p;
}

Rect Window::ClientToScreen(const Rect& r) const {
  const Point origin = ClientToScreen(Point{0, 0});
  return r.Offset(origin.x, origin.y);
}

Point Window::ScreenToClient(Point p) const {
  const Point origin = ClientToScreen(Point{0, 0});
  return {p.x - origin.x, p.y - origin.y};
}

Rect Window::ScreenToClient(const Rect& r) const {
  const Point origin = ClientToScreen(Point{0, 0});
  return r.Offset(-origin.x, -origin.y);
}

Window* Window::ChildWindowFromPoint(Point client) {
  if (!created_ || !GetClientRect().Contains(client))
    return nullptr;
  for (Window* child : children_) {
    if (child->rect_.Contains(client))
      return child;
  }
  return this;
}

Window* Window::GetTopLevelWindow() {
  Window* w = this;
  while (w->parent_ != nullptr)
    w = w->parent_;
  return w;
}

bool Window::IsDescendantOf(const Window& ancestor) const {
  for (const Window* w = parent_; w != nullptr; w = w->parent_) {
    if (w == &ancestor)
      return true;
  }
  return false;
}

Window* Window::GetDlgItem(uint32_t id) const {
  for (Window* child : children_) {
    if (child->id_ == id)
      return child;
  }
  return nullptr;
}

bool Window::SetTimer(uint32_t id, uint32_t elapse_ms) {
  Application* app = Application::Current();
  if (!created_ || app == nullptr)
    return false;
  app->backend().SetTimer(*this, id, elapse_ms);
  return true;
}

bool Window::KillTimer(uint32_t id) {
  Application* app = Application::Current();
  if (!created_ || app == nullptr)
    return false;
  return app->backend().KillTimer(*this, id);
}

int Window::MessageBox(std::string_view text, std::string_view caption, uint32_t type) {
  Application* app = Application::Current();
  if (app == nullptr)
    return IDOK;
  return app->backend().MessageBox(created_ ? this : nullptr, caption, text, type);
}

bool Window::UpdateData(bool save_and_validate) {
  DataExchange dx(*this, save_and_validate);
  DoDataExchange(dx);
  return !dx.failed();
}

void Window::DoDataExchange(DataExchange&) {}

const MessageMap& Window::ClassMessageMap() {
  static const MessageMap map(nullptr, {});
  return map;
}

const MessageMap& Window::GetMessageMap() const {
  return ClassMessageMap();
}

bool Window::OnCommand(uint32_t id, uint32_t code) {
  const MessageMapEntry* entry = GetMessageMap().Find(id, code);
  Application* app = Application::Current();
  if (entry == nullptr || app == nullptr)
    return false;
  app->RunCommand([&] { entry->handler(*this, id); });
  return true;
}

void Window::NotifyParent(uint32_t code) {
  if (created_ && parent_ != nullptr)
    parent_->OnCommand(id_, code);
}

bool Window::PreTranslateMessage(const Msg&) {
  return false;
}

void Window::OnInput(const Msg&) {}

void Window::OnTimer(uint32_t) {}

void Window::OnPaint(Painter&) {}

void Window::Invalidate() {
  Application* app = Application::Current();
  if (created_ && app != nullptr)
    app->backend().Invalidate(*this);
}

void Window::OnDestroy() {}

void Window::PostNcDestroy() {}

void Window::Changed(Change what) {
  Application* app = Application::Current();
  if (created_ && app != nullptr)
    app->backend().WindowChanged(*this, what);
}

}  // namespace nuv::fw
