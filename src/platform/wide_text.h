#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace nuv::platform {

// The one place where the tool's UTF-8 texts meet the UTF-16 of the Windows
// API. A text that is not valid UTF-8 (or UTF-16) gives an empty result.
std::wstring ToWide(std::string_view utf8);
std::string FromWide(std::wstring_view utf16);

// A path from a UTF-8 name, and a path's name as UTF-8. The standard
// library's own conversions between std::string and a Windows path use an
// 8-bit code page, not UTF-8, so names go through these.
std::filesystem::path PathFromUtf8(std::string_view utf8);
std::string Utf8FromPath(const std::filesystem::path& path);

// The value of the environment variable `name`; empty when it is not set.
std::wstring EnvironmentVariable(const wchar_t* name);

// The system's text for a Win32 error code, without the line break it ends
// with.
std::string SystemMessage(unsigned long code);

}  // namespace nuv::platform
