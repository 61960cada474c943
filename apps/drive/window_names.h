#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace nuv::fw {
class Application;
class Window;
}  // namespace nuv::fw

namespace nuv::drive {

// The names a script gives the tool's windows, by their runtime class:
// main (NuvDialog), config (NuvSubDialog), field (NuvNewButtonDialog),
// newfmt (nuvnewfmtdlg) and tip (BalloonTip). A name stands for the window
// of its class that appeared last and still exists.
class WindowNames {
 public:
  static std::optional<std::string_view> NameOfClass(std::string_view class_name);
  static bool IsName(std::string_view name);

  // A window appeared (it is the latest of its class now).
  void NoteOpened(uint64_t serial);

  // The window `name` stands for, or null when none of its class has
  // appeared and still exists.
  fw::Window* Find(const fw::Application& app, std::string_view name) const;

 private:
  std::map<uint64_t, uint64_t> opened_;  // window serial -> order of appearance
  uint64_t order_ = 0;
};

}  // namespace nuv::drive
