#pragma once

#include <cstdint>
#include <string_view>

#include "framework/geometry.h"

namespace nuv::fw {

class ComboBox;
class ScrollArea;
class Window;

// What a user does with the windows, delivered as the windowing system would
// deliver it. Each action runs as one command (Application::RunCommand).
// Backends turn real input into these calls; nuv-drive turns script lines
// into them.

// The cursor goes to the centre of the control, then the left button goes
// down and up there (WM_LBUTTONDOWN, WM_LBUTTONUP through
// PreTranslateMessage): a button tells its parent it was clicked, an
// automatic check box changes its state first.
void UserClick(Window& control);

// The user replaces the edit's text; the parent hears of it (EN_CHANGE).
void UserType(Window& edit, std::string_view text);

// The user picks item `index` of the combo box; the parent hears of it
// (CBN_SELCHANGE).
void UserPick(ComboBox& combo, int index);

// The cursor moves to a screen point; the window under it (WindowFromPoint)
// gets WM_MOUSEMOVE, when there is one.
void UserMoveMouse(Point screen);

// The user presses the down arrow of the area's scroll bar `lines` times
// (the up arrow for a negative count); the contents stop at either end.
void UserScroll(ScrollArea& area, int lines);

// A key goes down in `target` (WM_KEYDOWN with the virtual key), at the
// cursor's position.
void UserPressKey(Window& target, uint32_t virtual_key);

}  // namespace nuv::fw
