#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace nuv::platform {

// Reads one value of a Windows private-profile (.ini) file the way Windows
// does: section and key names match without regard to case, the value is
// trimmed of blanks and of one pair of enclosing quotes, and the result is
// cut to buffer_size - 1 characters (the caller's buffer holds a NUL). The
// default, cut the same way, comes back when the file, the section or the
// key is missing. A buffer_size of 0 gives an empty text.
std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view default_value, std::size_t buffer_size,
                                    const std::filesystem::path& file);

}  // namespace nuv::platform
