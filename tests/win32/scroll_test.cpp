// Scroll-bar requests and the wheel as the system delivers them to a form
// taller than its window and to a scroll area: the arrows move by a line, a
// click beside the thumb by a page, the bar's menu to either end, and the
// contents stop at both ends.
#include <gtest/gtest.h>

#include <memory>

#include "framework/application.h"
#include "framework/dialog.h"
#include "framework/form_view.h"
#include "framework/module.h"
#include "framework/scroll_area.h"
#include "framework/win32/win32_backend.h"
#include "win32_test_resource.h"
// After the framework's headers.
#include "framework/win32/windows_api.h"

extern const nuv::fw::DialogTemplates nuv_win32_tests_templates;

namespace nuv::fw::win32 {
namespace {

const Module g_module("win32 tests", nuv_win32_tests_templates, {});

void Request(HWND hwnd, int code) {
  SendMessageW(hwnd, WM_VSCROLL, MAKEWPARAM(code, 0), 0);
}

void Wheel(HWND hwnd, int notches) {
  SendMessageW(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, notches * WHEEL_DELTA), 0);
}

struct Step {
  const char* what;
  void (*send)(HWND);
  int expected;  // the position after it; kEnd: as far as the contents go
};
constexpr int kEnd = -1;

class Win32ScrollTest : public ::testing::Test {
 protected:
  Win32ScrollTest()
      : app_("scroll", std::make_unique<Win32Backend>(Win32Backend::Mode::kInteractive)),
        backend_(static_cast<Win32Backend&>(app_.backend())),
        holder_(IDD_HOLDER) {}

  void SetUp() override {
    ASSERT_TRUE(holder_.Create(nullptr));
    holder_.ShowWindow(SW_SHOW);
  }

  // Sends each step to `hwnd` and compares where `position` says the
  // contents are, at most `end`.
  template <typename Position>
  void Walk(HWND hwnd, std::initializer_list<Step> steps, int end, Position position) {
    ASSERT_GT(end, 0);
    for (const Step& step : steps) {
      SCOPED_TRACE(step.what);
      step.send(hwnd);
      EXPECT_EQ(position(), step.expected == kEnd ? end : step.expected);
    }
  }

  Application app_;
  Win32Backend& backend_;
  Dialog holder_;
};

TEST_F(Win32ScrollTest, AFormMovesItsControlsAndKeepsItsBarInStep) {
  FormView form(IDD_TALL_FORM);
  ASSERT_TRUE(form.Create(WS_VISIBLE, Rect{0, 0, 150, 100}, &holder_, 1));
  HWND hwnd = backend_.HandleOf(form);
  ASSERT_NE(hwnd, nullptr);
  const int top = form.GetDlgItem(IDC_TOP)->rect().top;
  SCROLLINFO bar{};
  bar.cbSize = sizeof(bar);
  bar.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(hwnd, SB_VERT, &bar));
  const int end = bar.nMax + 1 - static_cast<int>(bar.nPage);
  Walk(hwnd,
       {{"arrow down", [](HWND h) { Request(h, SB_LINEDOWN); }, 16},
        {"page down", [](HWND h) { Request(h, SB_PAGEDOWN); }, 116},
        {"wheel up", [](HWND h) { Wheel(h, 1); }, 100},
        {"wheel down", [](HWND h) { Wheel(h, -1); }, 116},
        {"bottom", [](HWND h) { Request(h, SB_BOTTOM); }, kEnd},
        {"arrow down at the end", [](HWND h) { Request(h, SB_LINEDOWN); }, kEnd},
        {"top", [](HWND h) { Request(h, SB_TOP); }, 0},
        {"page up at the top", [](HWND h) { Request(h, SB_PAGEUP); }, 0}},
       end, [&] {
         const int moved = top - form.GetDlgItem(IDC_TOP)->rect().top;
         EXPECT_EQ(GetScrollPos(hwnd, SB_VERT), moved);
         return moved;
       });
}

TEST_F(Win32ScrollTest, AnAreaMovesByItsLinesAndWholePages) {
  ScrollArea area;
  ASSERT_TRUE(area.Create(Rect{0, 0, 100, 55}, &holder_, 2));
  area.SetLineHeight(10);
  area.SetContentHeight(1000);
  HWND hwnd = backend_.HandleOf(area);
  ASSERT_NE(hwnd, nullptr);
  // 55 pixels show five whole lines: a page is 50.
  Walk(hwnd,
       {{"arrow down", [](HWND h) { Request(h, SB_LINEDOWN); }, 10},
        {"page down", [](HWND h) { Request(h, SB_PAGEDOWN); }, 60},
        {"wheel down", [](HWND h) { Wheel(h, -1); }, 70},
        {"arrow up", [](HWND h) { Request(h, SB_LINEUP); }, 60},
        {"bottom", [](HWND h) { Request(h, SB_BOTTOM); }, kEnd},
        {"page down at the end", [](HWND h) { Request(h, SB_PAGEDOWN); }, kEnd},
        {"page up", [](HWND h) { Request(h, SB_PAGEUP); }, 1000 - 55 - 50},
        {"top", [](HWND h) { Request(h, SB_TOP); }, 0},
        {"wheel up at the top", [](HWND h) { Wheel(h, 1); }, 0}},
       area.ScrollLimit(), [&] { return area.scroll_pos(); });
}

}  // namespace
}  // namespace nuv::fw::win32
