// Keys as the system delivers them to a modeless dialog of the Win32
// backend: what the framework leaves, the dialog manager takes as in any
// dialog of Windows.
#include <gtest/gtest.h>

#include <memory>

#include "framework/application.h"
#include "framework/dialog.h"
#include "framework/module.h"
#include "framework/win32/win32_backend.h"
#include "win32_test_resource.h"
// After the framework's headers.
#include "framework/win32/windows_api.h"

extern const nuv::fw::DialogTemplates nuv_win32_tests_templates;

namespace nuv::fw::win32 {
namespace {

const Module g_module("win32 tests", nuv_win32_tests_templates, {});

struct TabCase {
  uint32_t from;
  bool shift;
  uint32_t to;
};

TEST(Win32KeyboardTest, TabMovesTheFocusThroughTheTabStops) {
  Application app("keys", std::make_unique<Win32Backend>(Win32Backend::Mode::kInteractive));
  auto& backend = static_cast<Win32Backend&>(app.backend());
  Dialog dialog(IDD_KEYS);
  ASSERT_TRUE(dialog.Create(nullptr));
  dialog.ShowWindow(SW_SHOW);
  HWND hwnd = backend.HandleOf(dialog);
  ASSERT_NE(hwnd, nullptr);
  SetForegroundWindow(hwnd);
  backend.Settle();

  // The label is no tab stop; the last stop wraps to the first, and back.
  for (const TabCase& step : {TabCase{IDC_FIRST, false, IDC_SECOND},
                              TabCase{IDOK, false, IDC_FIRST}, TabCase{IDC_FIRST, true, IDOK}}) {
    SCOPED_TRACE(::testing::Message() << step.from << (step.shift ? " Shift+Tab" : " Tab"));
    SetFocus(GetDlgItem(hwnd, static_cast<int>(step.from)));
    ASSERT_EQ(GetDlgCtrlID(GetFocus()), static_cast<int>(step.from));
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = step.shift ? 0x80 : 0;
    SetKeyboardState(keys);
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 1);
    PostMessageW(GetFocus(), WM_KEYUP, VK_TAB, 0xC0000001);
    backend.Settle();
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), static_cast<int>(step.to));
  }
}

}  // namespace
}  // namespace nuv::fw::win32
