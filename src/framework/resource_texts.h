#pragma once

#include <string_view>

namespace nuv::fw {

// A resource script and its id header, embedded in a library at build time
// by the CMake function nuv_embed_resources(<target> <rc> <header>), which
// defines
//   extern const nuv::fw::ResourceTexts <target>_resources;
// (constant-initialised, so a module may use it during start-up).
struct ResourceTexts {
  std::string_view script_name;
  std::string_view script;
  std::string_view header;
};

}  // namespace nuv::fw
