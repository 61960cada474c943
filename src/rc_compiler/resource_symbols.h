#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace nuv::rc {

// The names a resource script may use: the ids of its header (#define NAME
// VALUE) and the Win32 names of styles and standard ids (WS_VISIBLE,
// ES_READONLY, IDOK, IDC_STATIC ...).
class ResourceSymbols {
 public:
  // Reads an id header: #define lines (a value is a number, a negative number,
  // possibly in parentheses, or a name defined before), #pragma once,
  // comments and blank lines. Anything else is an error, returned as a
  // sentence naming the header and the line; empty on success.
  std::string ReadHeader(std::string_view text, std::string_view header_name);

  // The header's names first, then the Win32 ones.
  std::optional<int64_t> Find(std::string_view name) const;

  // The Win32 names alone.
  static std::optional<int64_t> FindWin32(std::string_view name);

 private:
  std::map<std::string, int64_t, std::less<>> defines_;
};

}  // namespace nuv::rc
