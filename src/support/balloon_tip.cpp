#include "support/balloon_tip.h"

#include <limits>
#include <utility>

#include "framework/application.h"
#include "framework/backend.h"
#include "framework/painter.h"

namespace nuv {
namespace {

fw::Backend* TheBackend() {
  fw::Application* app = fw::Application::Current();
  return app != nullptr ? &app->backend() : nullptr;
}

fw::Font SystemStatusFont() {
  const fw::Backend* backend = TheBackend();
  return backend != nullptr ? backend->StatusFont() : fw::Font{};
}

fw::ColorRef Resolve(fw::ColorRef colour, fw::SystemColour system) {
  if (colour != BalloonTip::kSystemColour)
    return colour;
  const fw::Backend* backend = TheBackend();
  return backend != nullptr ? backend->GetSysColour(system) : fw::RGB(0, 0, 0);
}

// Keys, and clicks other than a plain left click in the client area, end
// a tip whatever window they are for.
bool Dismisses(uint32_t message) {
  if (message >= fw::WM_KEYDOWN && message <= fw::WM_KEYLAST)
    return true;
  switch (message) {
    case fw::WM_LBUTTONDBLCLK:
    case fw::WM_RBUTTONDOWN:
    case fw::WM_RBUTTONDBLCLK:
    case fw::WM_MBUTTONDOWN:
    case fw::WM_MBUTTONDBLCLK:
    case fw::WM_NCLBUTTONDOWN:
    case fw::WM_NCLBUTTONDBLCLK:
    case fw::WM_NCRBUTTONDOWN:
    case fw::WM_NCRBUTTONDBLCLK:
    case fw::WM_NCMBUTTONDOWN:
    case fw::WM_NCMBUTTONDBLCLK:
      return true;
    default:
      return false;
  }
}

bool SameTool(const BalloonTip::Tool& a, const BalloonTip::Tool& b) {
  return a.control.get() == b.control.get() && a.id == b.id;
}

}  // namespace

constinit const fw::RuntimeClass BalloonTip::kClass{"BalloonTip", nullptr};

BalloonTip::BalloonTip() = default;

BalloonTip::~BalloonTip() {
  // While this class's OnDestroy can still run.
  DestroyWindow();
}

const fw::RuntimeClass& BalloonTip::GetRuntimeClass() const {
  return kClass;
}

BalloonTip::CreateResult BalloonTip::Create(fw::Window* owner) {
  if (owner == nullptr || !fw::PopupWindow::Create(owner))
    return CreateResult::kNotCreated;
  owner_ = fw::WindowRef<>(owner);
  SetFont(SystemStatusFont(), false);
  return CreateResult::kCreated;
}

void BalloonTip::SetMaxWidth(int width) {
  for (Tool& tool : tools_) {
    if (tool.width == max_width_)
      tool.width = width;
  }
  max_width_ = width;
}

void BalloonTip::SetBackgroundColour(fw::ColorRef colour) {
  for (Tool& tool : tools_) {
    if (tool.background == background_)
      tool.background = colour;
  }
  background_ = colour;
}

BalloonTip::AddToolResult BalloonTip::AddTool(fw::Window* control, std::string_view text,
                                              const std::optional<fw::Rect>& rect, uint32_t id) {
  const fw::Window* owner = owner_.get();
  if (control == nullptr || !control->IsWindow() || owner == nullptr)
    return AddToolResult::kNotAdded;
  const fw::Rect screen = rect ? control->ClientToScreen(*rect) : control->GetWindowRect();
  Tool tool;
  tool.control = fw::WindowRef<>(control);
  tool.id = id;
  tool.rect = owner->ScreenToClient(screen);
  tool.text = std::string(text);
  tool.width = max_width_;
  tool.text_colour = text_colour_;
  tool.background = background_;
  tools_.push_back(std::move(tool));
  return AddToolResult::kAdded;
}

void BalloonTip::RelayEvent(const fw::Msg& msg) {
  if (msg.message == fw::WM_MOUSEMOVE) {
    const fw::Window* owner = owner_.get();
    const std::optional<size_t> found =
        owner != nullptr ? ToolIndexFromPoint(owner->ScreenToClient(msg.screen)) : std::nullopt;
    if (found) {
      // Over the tool whose tip is pending or up, or over that tip itself:
      // the tip keeps its time.
      if (current_ && (IsCurrent(*found) || CursorOverTip()))
        return;
      StartDelay(*found);
    } else if (dismissed_) {
      // Away from every tool: coming back to the same one shows its tip again.
      current_.reset();
    }
  } else if (msg.message == fw::WM_LBUTTONDOWN) {
    if (!CursorOverTip())
      Dismiss();
  } else if (Dismisses(msg.message)) {
    Dismiss();
  }
}

void BalloonTip::SetFont(const fw::Font& font, bool redraw) {
  font_description_ = font;
  follows_system_font_ = font == SystemStatusFont();
  fw::Window::SetFont(font, false);
  if (redraw && IsWindow())
    Invalidate();
}

const BalloonTip::Tool* BalloonTip::ToolFromPoint(fw::Point owner_client) const {
  const std::optional<size_t> index = ToolIndexFromPoint(owner_client);
  return index ? &tools_[*index] : nullptr;
}

const BalloonTip::Tool* BalloonTip::current_tool() const {
  return current_ && *current_ < tools_.size() ? &tools_[*current_] : nullptr;
}

fw::Rect BalloonTip::PlaceTip(fw::Point point, const Tool& tool, const fw::Rect& size) const {
  fw::Rect placed = size.Offset(point.x - size.left, point.y - size.top);
  const fw::Backend* backend = TheBackend();
  if (backend == nullptr)
    return placed;
  const fw::Size screen = backend->ScreenSize();
  if (placed.right > screen.cx)
    placed = placed.Offset(screen.cx - placed.right, 0);
  if (placed.left < 0)
    placed = placed.Offset(-placed.left, 0);
  if (placed.bottom > screen.cy) {
    if (const fw::Window* control = tool.control.get()) {
      const int top = control->GetWindowRect().top;
      placed = {placed.left, top - placed.Height(), placed.right, top};
    }
  }
  return placed;
}

fw::Rect BalloonTip::MeasureTip(std::string_view text, int width) const {
  fw::Rect extent;
  if (const fw::Backend* backend = TheBackend())
    extent = backend->MeasureText(GetFont(), text, {0, 0, width, 0}, draw_flags_ | fw::DT_CALCRECT);
  return {0, 0, extent.Width() + margins_.left + margins_.right,
          extent.Height() + margins_.top + margins_.bottom};
}

void BalloonTip::OnTimer(uint32_t id) {
  const Tool* tool = current_tool();
  if (tool == nullptr || dismissed_) {
    KillTimer(id);
    Dismiss();
    return;
  }
  if (id == kDelayTimer) {
    KillTimer(kDelayTimer);
    if (!CursorOverTool(*tool))
      return;
    const fw::Point cursor = CursorPos();
    ShowTip({cursor.x + cursor_offset_.x, cursor.y + cursor_offset_.y});
    shown_time_ = 0;
    SetTimer(kPollTimer, poll_interval_);
  } else if (id == kPollTimer) {
    // Saturates rather than wraps, should the cursor rest on the tip for
    // weeks.
    shown_time_ = shown_time_ <= std::numeric_limits<uint32_t>::max() - poll_interval_
                      ? shown_time_ + poll_interval_
                      : std::numeric_limits<uint32_t>::max();
    const fw::Window* owner = owner_.get();
    const std::optional<size_t> under =
        owner != nullptr ? ToolIndexFromPoint(owner->ScreenToClient(CursorPos())) : std::nullopt;
    const bool other_tool = under && !IsCurrent(*under);
    const bool keep =
        !other_tool && ((CursorOverTool(*tool) && shown_time_ < hold_time_) || CursorOverTip());
    if (!keep) {
      KillTimer(kPollTimer);
      Dismiss();
    }
  }
}

void BalloonTip::OnPaint(fw::Painter& painter) {
  const Tool* tool = current_tool();
  if (tool == nullptr || tool->text.empty())
    return;
  const fw::Rect client = GetClientRect();
  painter.FillRect(client, Resolve(tool->background, fw::SystemColour::TooltipBackground));
  painter.FrameRect(client);
  fw::Rect text_rect{client.left + margins_.left, client.top + margins_.top,
                     client.right - margins_.right, client.bottom - margins_.bottom};
  painter.DrawText(tool->text, text_rect, draw_flags_, GetFont(),
                   Resolve(tool->text_colour, fw::SystemColour::TooltipText));
}

void BalloonTip::OnSetFocus(fw::Window* lost) {
  previous_focus_ = fw::WindowRef<>(lost);
}

fw::Window* BalloonTip::OnLButtonDown() const {
  if (current_tool() == nullptr || dismissed_)
    return nullptr;
  return previous_focus_.get();
}

void BalloonTip::OnSettingChange() {
  if (follows_system_font_)
    SetFont(SystemStatusFont(), true);
}

void BalloonTip::OnSetFont(const fw::Font* font) {
  SetFont(font != nullptr && font->IsSet() ? *font : SystemStatusFont(), true);
}

void BalloonTip::OnDestroy() {
  KillTimer(kDelayTimer);
  KillTimer(kPollTimer);
  fw::PopupWindow::OnDestroy();
}

std::optional<size_t> BalloonTip::ToolIndexFromPoint(fw::Point owner_client) const {
  const fw::Window* under = ChildUnder(owner_client);
  if (under == nullptr)
    return std::nullopt;
  for (size_t i = 0; i < tools_.size(); ++i) {
    const fw::Window* control = tools_[i].control.get();
    if (control == nullptr || (control != under && !under->IsDescendantOf(*control)))
      continue;
    // The first tool of the control decides, whether or not its area holds
    // the point.
    if (tools_[i].rect.Contains(owner_client))
      return i;
    return std::nullopt;
  }
  return std::nullopt;
}

bool BalloonTip::IsCurrent(size_t tool) const {
  const Tool* current = current_tool();
  return current != nullptr && tool < tools_.size() && SameTool(tools_[tool], *current);
}

bool BalloonTip::CursorOverTool(const Tool& tool) const {
  const fw::Window* owner = owner_.get();
  const fw::Window* control = tool.control.get();
  if (owner == nullptr || control == nullptr)
    return false;
  const fw::Point point = owner->ScreenToClient(CursorPos());
  const fw::Window* under = ChildUnder(point);
  return under != nullptr && (under == control || under->IsDescendantOf(*control)) &&
         tool.rect.Contains(point);
}

bool BalloonTip::CursorOverTip() const {
  return !dismissed_ && IsWindowVisible() && GetWindowRect().Contains(CursorPos());
}

fw::Window* BalloonTip::ChildUnder(fw::Point owner_client) const {
  fw::Window* owner = owner_.get();
  const fw::Application* app = fw::Application::Current();
  if (owner == nullptr || app == nullptr)
    return nullptr;
  fw::Window* under = app->WindowFromPoint(owner->ClientToScreen(owner_client));
  // The owner itself answers for the children that let the point through
  // or are disabled.
  if (under == owner)
    under = owner->ChildWindowFromPoint(owner_client);
  if (under == nullptr || under == owner || !under->IsDescendantOf(*owner))
    return nullptr;
  return under;
}

void BalloonTip::StartDelay(size_t tool) {
  KillTimer(kDelayTimer);
  KillTimer(kPollTimer);
  Hide();
  dismissed_ = false;
  current_ = tool;
  SetTimer(kDelayTimer, initial_delay_);
}

void BalloonTip::ShowTip(fw::Point screen) {
  const Tool* tool = current_tool();
  if (!active_ || tool == nullptr || tool->text.empty())
    return;
  ShowAt(PlaceTip(screen, *tool, MeasureTip(tool->text, tool->width)));
}

void BalloonTip::Dismiss() {
  Hide();
  dismissed_ = true;
}

fw::Point BalloonTip::CursorPos() const {
  const fw::Application* app = fw::Application::Current();
  return app != nullptr ? app->GetCursorPos() : fw::Point{};
}

}  // namespace nuv
