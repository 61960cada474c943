#pragma once

#include <string_view>

#include "support/messages.h"

namespace nuv::fw {
class Window;
}

namespace nuv {

// The message sink of a window: what the core reports opens a modal box
// with one OK button and no icon. Error messages are the window's own box
// (caption "error"); Application messages are the application's box,
// captioned with the host's title. The window must outlive the sink, which
// is meant to live for one command.
class WindowMessages final : public Messages {
 public:
  explicit WindowMessages(fw::Window& owner) : owner_(owner) {}

  void Show(BoxCaption caption, std::string_view text) override;

 private:
  fw::Window& owner_;
};

// A question of the application framework: a box with Yes and No,
// captioned with the host's title. True for Yes; without a running
// application there is no one to ask, and the answer is No.
bool AskApplication(std::string_view text);

}  // namespace nuv
