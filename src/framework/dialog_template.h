#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "framework/font.h"
#include "framework/window_kind.h"

namespace nuv::fw {

// Dialog templates are constant data: the build compiles each resource
// script into tables of these (nuv_dialog_templates() in CMake), so a
// template the tool cannot use never gets past the build.

// A control of a dialog template; position and size in dialog units.
struct ControlTemplate {
  uint32_t id = 0;
  WindowKind kind = WindowKind::Static;
  std::string_view text;
  uint32_t style = 0;  // WS_VISIBLE, WS_DISABLED, and the kind's own bits
  uint32_t ex_style = 0;
  int x = 0;
  int y = 0;
  int cx = 0;
  int cy = 0;
};

// The font a template names (FONT size, face, weight, italic).
struct TemplateFont {
  std::string_view face;
  int point_size = 0;
  int weight = 400;
  bool italic = false;

  Font ToFont() const { return Font{std::string(face), point_size, weight, italic}; }
};

// A dialog template as a resource script declares it.
struct DialogTemplate {
  uint32_t id = 0;
  uint32_t style = 0;
  uint32_t ex_style = 0;
  std::string_view caption;
  TemplateFont font;
  int x = 0;
  int y = 0;
  int cx = 0;
  int cy = 0;
  std::span<const ControlTemplate> controls;  // in creation order
};

// The templates of one resource script, as the build compiled them.
using DialogTemplates = std::span<const DialogTemplate>;

}  // namespace nuv::fw
