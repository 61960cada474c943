#include "support/window_messages.h"

#include "framework/application.h"
#include "framework/constants.h"
#include "framework/window.h"

namespace nuv {

void WindowMessages::Show(BoxCaption caption, std::string_view text) {
  if (caption == BoxCaption::Error) {
    owner_.MessageBox(text, "error", fw::MB_OK);
    return;
  }
  // Without a running application there is no one to show the box to; the
  // framework's own boxes behave the same way.
  if (fw::Application* app = fw::Application::Current())
    app->MessageBox(text, fw::MB_OK);
}

bool AskApplication(std::string_view text) {
  fw::Application* app = fw::Application::Current();
  return app != nullptr && app->MessageBox(text, fw::MB_YESNO | fw::MB_ICONEXCLAMATION) ==
                               static_cast<int>(fw::IDYES);
}

}  // namespace nuv
