#pragma once

#include <cstdint>

namespace nuv::fw {
class Window;
}

// The four functions a plug-in exports, by these undecorated names. The host
// finds them with dlsym after loading the library.
//   dll_get_title  the page's title; the same constant text on every call
//   dll_is_gui     1: the plug-in has a user interface
//   dll_init       creates the plug-in's page as a child of `parent`;
//                  1 when the page exists, 0 when its window could not be
//                  made. The second value is not used.
//   dll_deinit     the host is about to unload the library
extern "C" {
const char* dll_get_title();
int dll_is_gui();
int dll_init(nuv::fw::Window* parent, uint32_t unused);
void dll_deinit();
}

namespace nuv::fw {

using DllGetTitle = const char* (*)();
using DllIsGui = int (*)();
using DllInit = int (*)(Window* parent, uint32_t unused);
using DllDeinit = void (*)();

inline constexpr const char* kDllGetTitle = "dll_get_title";
inline constexpr const char* kDllIsGui = "dll_is_gui";
inline constexpr const char* kDllInit = "dll_init";
inline constexpr const char* kDllDeinit = "dll_deinit";

}  // namespace nuv::fw
