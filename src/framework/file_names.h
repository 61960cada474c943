#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace nuv::fw {

using FileFilter = std::vector<std::pair<std::string, std::string>>;  // (text, pattern)

// The default-extension rule of the system's file dialogs: a name whose last
// component (after the platform's last folder separator) has no '.' gets
// "." + extension; a name with any extension, or ending in '.', keeps it; no
// extension given, nothing changes. Paths are kept as typed: a relative name stays relative
// to the current directory, where the dialog starts.
std::string ApplyDefaultExtension(std::string_view path, std::string_view extension);

// An MFC filter "text|pattern|text|pattern||": pairs up to the first empty
// text; a text without a pattern is dropped.
FileFilter ParseBarFilter(std::string_view filter);

// A system dialog's filter: NUL-terminated texts in pairs, ended by an empty
// text. Reading stops at the end of `filter` as well, so a filter that lacks
// its terminator is read up to its last whole pair.
FileFilter ParseNulFilter(std::string_view filter);

}  // namespace nuv::fw
