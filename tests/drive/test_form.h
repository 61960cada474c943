#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "framework/form_view.h"
#include "test_sub_dialog.h"
#include "test_tip.h"

namespace nuv::test {

// The test plug-in's page: a form with numbers exchanged with members, a
// check box, a combo box, buttons routed by an id range, a modeless dialog,
// a handler that throws, a timer, both file dialogs and a tip on "Apply".
class TestForm : public fw::FormView {
 public:
  TestForm();
  ~TestForm() override;

  static const fw::RuntimeClass kClass;
  const fw::RuntimeClass& GetRuntimeClass() const override;
  const fw::MessageMap& GetMessageMap() const override;
  void DoDataExchange(fw::DataExchange& dx) override;
  bool PreTranslateMessage(const fw::Msg& msg) override;
  void OnTimer(uint32_t id) override;

 protected:
  void OnInitialUpdate() override;

 private:
  static constexpr uint32_t kTipTimer = 1;
  static constexpr uint32_t kTickTimer = 7;

  void Apply();
  void Verbose();
  void PickColour();
  void Special();
  void Range(uint32_t id);
  void OpenSub();
  void Throw();
  void StartTimer();
  void SaveAs();
  void OpenFile();

  int32_t count_ = 0;
  uint32_t size_ = 0;
  std::string path_;
  int ticks_ = 0;
  std::unique_ptr<TestSubDialog> sub_;
  TestTip tip_;
};

}  // namespace nuv::test
