#pragma once

#include "framework/msg.h"
#include "framework/window.h"
#include "support/balloon_tip.h"

namespace nuv::test {

// A window whose controls carry tips: it hands every message to its tip
// first, as the tool's forms and dialogs do.
class TipOwner : public fw::Window {
 public:
  ~TipOwner() override { DestroyWindow(); }
  bool PreTranslateMessage(const fw::Msg& msg) override {
    ++relayed;
    if (tip.IsWindow())
      tip.RelayEvent(msg);
    return false;
  }

  BalloonTip tip;
  int relayed = 0;
};

}  // namespace nuv::test
