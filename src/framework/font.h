#pragma once

#include <string>

namespace nuv::fw {

// A font as the windows ask for it: face name, size in points, weight.
struct Font {
  std::string face;
  int point_size = 0;
  int weight = 400;
  bool italic = false;

  bool IsSet() const { return !face.empty(); }
  friend bool operator==(const Font&, const Font&) = default;
};

// The dialog font of every template of the tool.
inline Font ShellDialogFont() {
  return Font{"MS Shell Dlg", 8};
}

}  // namespace nuv::fw
