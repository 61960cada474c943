#pragma once

#include <cstdint>
#include <functional>

#include "framework/dialog.h"

namespace nuv::test {

// A modeless dialog the test form opens: a fixed edit, Back (hides), Close
// (destroys), Cancel (the framework's cancel), and a button made at run time.
class TestSubDialog : public fw::Dialog {
 public:
  TestSubDialog();
  ~TestSubDialog() override;

  static const fw::RuntimeClass kClass;
  const fw::RuntimeClass& GetRuntimeClass() const override;
  const fw::MessageMap& GetMessageMap() const override;

  // Called when the dialog's window is destroyed.
  std::function<void()> on_destroyed;

 protected:
  bool OnInitDialog() override;
  void OnDestroy() override;

 private:
  void Extra(uint32_t id);
  void Back();
  void Close();
};

}  // namespace nuv::test
