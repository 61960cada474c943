#include "plugin/host_settings.h"

#include <algorithm>
#include <system_error>

#include "platform/paths.h"
#include "platform/profile.h"

namespace nuv::plugin {

HostSettings ReadHostSettings() {
  const platform::NativePath file = platform::ToNativePath(kHostSettingsFile);
  if (!file.ok())
    return HostSettings{};
  return ReadHostSettingsFrom(file.value());
}

HostSettings ReadHostSettingsFrom(const std::filesystem::path& file) {
  HostSettings settings;
  std::error_code error;
  if (!std::filesystem::exists(file, error))
    return settings;
  settings.settings_path = kHostSettingsFile;
  std::string value = platform::GetPrivateProfileString(kSettingsSection, kInternalToolControl, "",
                                                        kSettingsBufferSize, file);
  // Only the blank itself goes: a tab or any other character stays and
  // keeps the value from reading as "1".
  std::erase(value, ' ');
  settings.internal_tool_control = value.empty() ? std::string(" ") : value;
  settings.internal_mode = settings.internal_tool_control == "1";
  return settings;
}

}  // namespace nuv::plugin
