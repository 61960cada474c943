#pragma once

#include <string>

#include "framework/popup_window.h"

namespace nuv::test {

// A small balloon tip: a framed pop-up that shows a wrapped text near the
// cursor, the way the tool's tooltips use the framework.
class TestTip : public fw::PopupWindow {
 public:
  static constexpr int kWidth = 200;
  static constexpr int kMargin = 5;

  static const fw::RuntimeClass kClass;
  const fw::RuntimeClass& GetRuntimeClass() const override;

  // Shows `text` with its top-left corner at `screen`, moved left when it
  // would leave the screen.
  void Pop(fw::Point screen, std::string text);
  void OnPaint(fw::Painter& painter) override;

 private:
  std::string text_;
};

}  // namespace nuv::test
