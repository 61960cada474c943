#pragma once

#include <memory>
#include <string_view>

namespace nuv::fw {

class Window;

// The class of a window object, known by name at run time: the host's
// framework finds a plug-in's classes by name, and tools that watch the
// windows (nuv-drive) tell the tool's windows apart by it. A class whose
// `factory` is set can also be made by name.
//
// Declare one per class as a constant-initialised static member, so that it
// exists before any module registers it:
//   static const RuntimeClass kClass;                       // in the class
//   constinit const RuntimeClass MyDialog::kClass{"MyDialog", &CreateInstance<MyDialog>};
struct RuntimeClass {
  std::string_view class_name;
  std::unique_ptr<Window> (*factory)() = nullptr;

  std::unique_ptr<Window> CreateObject() const;
};

template <class T>
std::unique_ptr<Window> CreateInstance() {
  return std::make_unique<T>();
}

}  // namespace nuv::fw
