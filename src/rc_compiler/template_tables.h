#pragma once

#include <string>
#include <string_view>

#include "rc_compiler/resource_script.h"

namespace nuv::rc {

// The C++ source that defines the script's dialogs as constant tables:
//   extern const nuv::fw::DialogTemplates <symbol>;
// `script_name` is named in the file's first line, for whoever opens it.
std::string WriteTemplateTables(const ResourceScript& script, std::string_view script_name,
                                std::string_view symbol);

}  // namespace nuv::rc
