#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/font.h"
#include "framework/window_kind.h"

namespace nuv::fw {

// A control of a dialog template; position and size in dialog units.
struct ControlTemplate {
  uint32_t id = 0;
  WindowKind kind = WindowKind::Static;
  std::string text;
  uint32_t style = 0;  // WS_VISIBLE, WS_DISABLED, and the kind's own bits
  uint32_t ex_style = 0;
  int x = 0;
  int y = 0;
  int cx = 0;
  int cy = 0;
};

// A dialog template as a resource script declares it.
struct DialogTemplate {
  uint32_t id = 0;
  uint32_t style = 0;
  uint32_t ex_style = 0;
  std::string caption;
  Font font;
  int x = 0;
  int y = 0;
  int cx = 0;
  int cy = 0;
  std::vector<ControlTemplate> controls;  // in creation order
};

}  // namespace nuv::fw
