#pragma once

#include "framework/window.h"

namespace nuv::fw {

// A push button, check box or group box. A click (left button down, or a
// double click, then up on it) tells the parent (BN_CLICKED); an automatic
// check box changes its state first.
class Button : public Window {
 public:
  static const RuntimeClass kClass;
  const RuntimeClass& GetRuntimeClass() const override;

  // 0 unchecked, 1 checked.
  int GetCheck() const { return check_; }
  void SetCheck(int check);
  bool IsAutoCheckBox() const;

  void OnInput(const Msg& msg) override;

 private:
  int check_ = 0;
  bool pressed_ = false;
};

}  // namespace nuv::fw
