#pragma once

#include <memory>

#include "framework/window.h"

namespace nuv::fw {

// A weak handle to a window, like an HWND: it turns empty when the window is
// destroyed (or its object deleted), so an owner can tell whether the window
// it opened is still there without holding a dangling pointer.
template <class T = Window>
class WindowRef {
 public:
  WindowRef() = default;
  // Empty when `window` is null or not created.
  explicit WindowRef(T* window) {
    if (window != nullptr && window->life_) {
      life_ = window->life_;
      window_ = window;
    }
  }

  T* get() const { return life_.expired() ? nullptr : window_; }
  T* operator->() const { return get(); }
  explicit operator bool() const { return get() != nullptr; }
  bool expired() const { return get() == nullptr; }
  void reset() { *this = WindowRef(); }

 private:
  std::weak_ptr<const int> life_;
  T* window_ = nullptr;
};

}  // namespace nuv::fw
