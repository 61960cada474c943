#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace nuv::plugin {

// The host's settings file, taken relative to the host's current directory
// (not the plug-in's own folder), and the one value the plug-in reads.
inline constexpr std::string_view kHostSettingsFile = ".\\quon.ini";
inline constexpr std::string_view kSettingsSection = "NUV";
inline constexpr std::string_view kInternalToolControl = "Internal_tool_control";
// The buffer the value is read into, its terminator included.
inline constexpr std::size_t kSettingsBufferSize = 260;

struct HostSettings {
  // ".\quon.ini" when that file exists, else empty.
  std::string settings_path;
  // The value with every space removed; " " when the file is missing or the
  // value is empty then.
  std::string internal_tool_control = " ";
  // On when the value is exactly "1".
  bool internal_mode = false;
};

// Reads the settings from ".\quon.ini" in the current directory.
HostSettings ReadHostSettings();

// Reads them from `file` (a native path), which stands for ".\quon.ini".
HostSettings ReadHostSettingsFrom(const std::filesystem::path& file);

}  // namespace nuv::plugin
