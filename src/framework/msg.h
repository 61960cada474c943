#pragma once

#include <cstdint>

#include "framework/geometry.h"

namespace nuv::fw {

class Window;

// An input message on its way to a window, as PreTranslateMessage sees it.
// `target` is the window the message is for and stays valid while the
// message is being handled; `pt` is in the target's client coordinates and
// `screen` is the same point on the screen.
struct Msg {
  uint32_t message = 0;  // WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_KEYDOWN, ...
  Window* target = nullptr;
  uint32_t wparam = 0;  // the virtual key for keyboard messages
  Point pt;
  Point screen;
};

}  // namespace nuv::fw
