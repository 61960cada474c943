#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/constants.h"
#include "framework/font.h"
#include "framework/geometry.h"
#include "framework/msg.h"
#include "framework/popup_window.h"
#include "framework/window_ref.h"

namespace nuv {

// What the tool's windows give their tips: texts wrapped at 200 pixels on
// a light green (red 187, green 247, blue 172).
inline constexpr int kTipWidth = 200;
inline constexpr fw::ColorRef kTipBackground = fw::RGB(187, 247, 172);

// The answer to a mouse activation that leaves the window inactive.
inline constexpr int MA_NOACTIVATE = 3;

// The tooltip of the tool's windows, instead of the framework's standard
// ones: a framed pop-up with a control's text that appears near the cursor
// once the mouse has rested on the control for a moment, stays while it
// rests there (up to a hold time) and goes away on any key or click.
//
// The window that carries tools (the owner) registers its controls with
// AddTool and hands every input message to RelayEvent before it handles the
// message itself, from its PreTranslateMessage while the tip window exists:
//
//   static_cast<void>(tip_.Create(this));    // the owner's window exists
//   tip_.SetActive(true);
//   tip_.SetMaxWidth(kTipWidth);
//   tip_.SetBackgroundColour(kTipBackground);
//   tip_.AddTool(GetDlgItem(id), "text");    // per control
//   ...
//   bool X::PreTranslateMessage(const fw::Msg& msg) {
//     if (tip_.IsWindow())
//       tip_.RelayEvent(msg);
//     return Base::PreTranslateMessage(msg);
//   }
//
// The tip runs on two timers of its own window: the delay timer (1) shows
// it, the poll timer (2) watches the cursor while it is up.
class BalloonTip : public fw::PopupWindow {
 public:
  static constexpr uint32_t kDelayTimer = 1;
  static constexpr uint32_t kPollTimer = 2;
  // A colour that stands for the system's tooltip colour.
  static constexpr fw::ColorRef kSystemColour = 0xFF000000;
  // DT_WORDBREAK | DT_EXPANDTABS | DT_EXTERNALLEADING | DT_NOPREFIX.
  static constexpr uint32_t kDrawFlags =
      fw::DT_WORDBREAK | fw::DT_EXPANDTABS | fw::DT_EXTERNALLEADING | fw::DT_NOPREFIX;

  // One registered control.
  struct Tool {
    fw::WindowRef<> control;  // empty once the control's window is gone
    uint32_t id = 0;
    fw::Rect rect;  // the area it covers, in the owner's client coordinates
    std::string text;
    int width = 0;  // the text is wrapped to it
    fw::ColorRef text_colour = kSystemColour;
    fw::ColorRef background = kSystemColour;
  };

  BalloonTip();
  ~BalloonTip() override;

  static const fw::RuntimeClass kClass;
  const fw::RuntimeClass& GetRuntimeClass() const override;

  // Creates the hidden tip window, owned by `owner`, whose controls will
  // carry tools, and takes the system's status-bar font. kNotCreated when
  // the window could not be made (no owner window, or the tip exists
  // already).
  enum class CreateResult { kCreated, kNotCreated };
  [[nodiscard]] CreateResult Create(fw::Window* owner);

  // Tips are shown only while active.
  void SetActive(bool active) { active_ = active; }
  bool active() const { return active_; }

  // The width texts are wrapped to. Tools that had the old width (every
  // tool not given another) take the new one, and so do tools added later.
  void SetMaxWidth(int width);
  int max_width() const { return max_width_; }

  // The background of the tips. Tools that had the old default take the
  // new one, and so do tools added later.
  void SetBackgroundColour(fw::ColorRef colour);
  fw::ColorRef background_colour() const { return background_; }

  // Registers `control` with its tip text. `rect`, in the control's client
  // coordinates, limits the area that shows the tip; without it the whole
  // control does. kNotAdded, and nothing registered, when no control is
  // given or the control or the owner has no window.
  enum class AddToolResult { kAdded, kNotAdded };
  [[nodiscard]] AddToolResult AddTool(fw::Window* control, std::string_view text,
                                      const std::optional<fw::Rect>& rect = std::nullopt,
                                      uint32_t id = 0);
  const std::vector<Tool>& tools() const { return tools_; }

  // Sees a message on its way to the owner or one of its controls: mouse
  // moves start the delay over a tool, keys and clicks hide the tip.
  void RelayEvent(const fw::Msg& msg);

  // The font of the tips. The tip follows the system's status-bar font (and
  // takes it again when system settings change) while `font` equals it.
  // Hides Window::SetFont: a tip's font is always set here.
  void SetFont(const fw::Font& font, bool redraw = true);
  bool follows_system_font() const { return follows_system_font_; }

  // The tool whose control is under a point of the owner's client area, or
  // null when there is none.
  const Tool* ToolFromPoint(fw::Point owner_client) const;
  // The tool for which a tip is pending or shown, or null.
  const Tool* current_tool() const;
  // Hidden by a key or a click (or by the end of its time): no tip until
  // the cursor reaches another tool.
  bool dismissed() const { return dismissed_; }
  // How long the tip shown has been up, counted by the poll timer.
  uint32_t shown_time() const { return shown_time_; }

  // Where the tip of `tool`, `size` big (its top-left corner at 0, 0), goes
  // on the screen when the cursor offset puts it at `point`: at the point,
  // moved left to stay on the screen, and above the control when it would
  // leave the screen at the bottom.
  virtual fw::Rect PlaceTip(fw::Point point, const Tool& tool, const fw::Rect& size) const;
  // The size of the tip for `text` wrapped to `width`, margins included,
  // its top-left corner at 0, 0.
  virtual fw::Rect MeasureTip(std::string_view text, int width) const;

  // --- the tip window's messages ---
  void OnTimer(uint32_t id) override;
  void OnPaint(fw::Painter& painter) override;
  // The framework keeps no keyboard focus and its pop-ups never take one;
  // a backend that does hand the tip the focus tells it with OnSetFocus and
  // acts on what OnLButtonDown answers.
  //
  // The tip got the keyboard focus from `lost` (null when unknown).
  void OnSetFocus(fw::Window* lost);
  // A left button down on the tip: the keyboard focus goes back to the
  // window that had it before the tip got it. Returns that window, or null
  // when the focus stays where it is.
  fw::Window* OnLButtonDown() const;
  // Clicking the tip does not activate it.
  int OnMouseActivate() const { return MA_NOACTIVATE; }
  // System settings changed: a tip that follows the system's font takes it
  // again.
  void OnSettingChange();
  // Someone set the tip's font; null when its description cannot be read.
  void OnSetFont(const fw::Font* font);

 protected:
  void OnDestroy() override;

 private:
  std::optional<size_t> ToolIndexFromPoint(fw::Point owner_client) const;
  bool IsCurrent(size_t tool) const;
  bool CursorOverTool(const Tool& tool) const;
  bool CursorOverTip() const;
  // The window under a point of the owner's client area that may carry a
  // tool: a descendant of the owner, or null.
  fw::Window* ChildUnder(fw::Point owner_client) const;
  void StartDelay(size_t tool);
  void ShowTip(fw::Point screen);
  void Dismiss();
  fw::Point CursorPos() const;

  fw::WindowRef<> owner_;
  fw::Rect margins_{2, 2, 3, 3};  // left, top, right, bottom
  int max_width_ = 0;
  fw::Point cursor_offset_{0, 20};
  fw::Font font_description_;
  uint32_t draw_flags_ = kDrawFlags;
  bool follows_system_font_ = true;
  std::optional<size_t> current_;  // index into tools_
  uint32_t poll_interval_ = 500;
  uint32_t hold_time_ = 5000;
  uint32_t shown_time_ = 0;
  uint32_t initial_delay_ = 500;
  bool active_ = true;
  bool dismissed_ = false;
  fw::ColorRef background_ = kSystemColour;
  fw::ColorRef text_colour_ = kSystemColour;
  fw::WindowRef<> previous_focus_;
  std::vector<Tool> tools_;
};

}  // namespace nuv
