#include "window_names.h"

#include <array>
#include <utility>
#include <vector>

#include "framework/application.h"
#include "framework/window.h"

namespace nuv::drive {
namespace {

constexpr std::array<std::pair<std::string_view, std::string_view>, 5> kNames = {{
    {"NuvDialog", "main"},
    {"NuvSubDialog", "config"},
    {"NuvNewButtonDialog", "field"},
    {"nuvnewfmtdlg", "newfmt"},
    {"BalloonTip", "tip"},
}};

void Collect(fw::Window& window, std::vector<fw::Window*>& all) {
  all.push_back(&window);
  for (fw::Window* child : window.children())
    Collect(*child, all);
}

}  // namespace

std::optional<std::string_view> WindowNames::NameOfClass(std::string_view class_name) {
  for (const auto& [klass, name] : kNames) {
    if (klass == class_name)
      return name;
  }
  return std::nullopt;
}

bool WindowNames::IsName(std::string_view name) {
  for (const auto& entry : kNames) {
    if (entry.second == name)
      return true;
  }
  return false;
}

void WindowNames::NoteOpened(uint64_t serial) {
  opened_[serial] = ++order_;
}

fw::Window* WindowNames::Find(const fw::Application& app, std::string_view name) const {
  std::vector<fw::Window*> all;
  for (fw::Window* top : app.TopLevelWindows())
    Collect(*top, all);
  fw::Window* found = nullptr;
  uint64_t latest = 0;
  for (fw::Window* window : all) {
    if (NameOfClass(window->class_name()) != name)
      continue;
    auto it = opened_.find(window->serial());
    if (it != opened_.end() && it->second > latest) {
      latest = it->second;
      found = window;
    }
  }
  return found;
}

}  // namespace nuv::drive
