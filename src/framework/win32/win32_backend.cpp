#include "framework/win32/win32_backend.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "framework/application.h"
#include "framework/button.h"
#include "framework/combo_box.h"
#include "framework/dialog.h"
#include "framework/form_view.h"
#include "framework/module.h"
#include "framework/msg.h"
#include "framework/scroll_area.h"
#include "framework/user_input.h"
#include "framework/win32/dialog_resource.h"
#include "framework/win32/win32_modal.h"
#include "framework/window.h"
#include "platform/wide_text.h"
// After the framework's headers (see the header).
#include "framework/win32/windows_api.h"

namespace nuv::fw::win32 {
namespace {

constexpr wchar_t kFrameClass[] = L"NuvFrame";
constexpr wchar_t kAreaClass[] = L"NuvScrollArea";
constexpr wchar_t kTipClass[] = L"NuvBalloonTip";
constexpr wchar_t kTimerClass[] = L"NuvTimers";

// How far one press of a form's scroll-bar arrow moves it, in pixels.
constexpr int kFormScrollLine = 16;

// Windows raises shorter timer periods to 10 ms.
constexpr uint32_t kMinimumPeriod = 10;

// How often the watch for a system box looks for it, in milliseconds.
constexpr UINT kBoxWatchPeriod = 50;

// The backend that the window procedures report to: one runs at a time, as
// one Application does.
Win32Backend* g_backend = nullptr;

Rect FromRect(const RECT& r) {
  return Rect{r.left, r.top, r.right, r.bottom};
}

// A window's rectangle in its parent's client area (a child) or its client
// area on the screen (a top-level window), as the framework keeps it.
Rect PlacementOf(HWND hwnd, bool top_level) {
  RECT r{};
  if (top_level) {
    GetClientRect(hwnd, &r);
    MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return FromRect(r);
  }
  GetWindowRect(hwnd, &r);
  MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
  return FromRect(r);
}

std::wstring NativeText(HWND hwnd) {
  const int length = GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<size_t>(std::max(length, 0)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(hwnd, text.data(), length + 1)));
  return text;
}

// Where a vertical scroll-bar request (the code of WM_VSCROLL) takes
// contents that are scrolled to `pos`: an arrow moves them by `line`, a
// click beside the thumb by `page`, a drag to the thumb, the bar's menu to
// either end; none for the other codes. The owner keeps the result within
// its ends.
std::optional<int> RequestedScroll(HWND hwnd, int request, int pos, int line, int page) {
  switch (request) {
    case SB_LINEUP:
      return pos - line;
    case SB_LINEDOWN:
      return pos + line;
    case SB_PAGEUP:
      return pos - page;
    case SB_PAGEDOWN:
      return pos + page;
    case SB_TOP:
      return std::numeric_limits<int>::min();
    case SB_BOTTOM:
      return std::numeric_limits<int>::max();
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      SCROLLINFO info{};
      info.cbSize = sizeof(info);
      info.fMask = SIF_TRACKPOS;
      GetScrollInfo(hwnd, SB_VERT, &info);
      return info.nTrackPos;
    }
    default:
      return std::nullopt;
  }
}

// The wheel as the scroll bar's arrows: a notch up is a press of the up arrow.
int WheelRequest(WPARAM wparam) {
  return GET_WHEEL_DELTA_WPARAM(wparam) > 0 ? SB_LINEUP : SB_LINEDOWN;
}

LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (g_backend != nullptr) {
    switch (message) {
      case WM_COMMAND:
        if (lparam != 0)
          g_backend->OnNativeCommand(reinterpret_cast<HWND>(lparam), HIWORD(wparam));
        return 0;
      case WM_CLOSE:
        g_backend->OnCloseRequest(hwnd);
        return 0;
      case WM_PAINT:
        g_backend->OnPaintRequest(hwnd);
        return 0;
      case WM_VSCROLL:
        g_backend->OnScrollRequest(hwnd, LOWORD(wparam));
        return 0;
      case WM_MOUSEWHEEL:
        g_backend->OnScrollRequest(hwnd, WheelRequest(wparam));
        return 0;
      case WM_MOUSEACTIVATE:
        if (GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_NOACTIVATE)
          return MA_NOACTIVATE;
        break;
      case WM_TIMER:
        g_backend->OnNativeTimer(static_cast<uintptr_t>(wparam));
        return 0;
      default:
        break;
    }
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (g_backend == nullptr)
    return FALSE;
  switch (message) {
    case WM_INITDIALOG:
      return FALSE;  // the framework sets the focus
    case WM_COMMAND:
      if (lparam != 0)
        g_backend->OnNativeCommand(reinterpret_cast<HWND>(lparam), HIWORD(wparam));
      else if (LOWORD(wparam) == IDCANCEL)  // Escape or the close box, as a dialog hears them
        g_backend->OnCloseRequest(hwnd);
      return TRUE;
    case WM_CLOSE:
      g_backend->OnCloseRequest(hwnd);
      return TRUE;
    case WM_VSCROLL:
      g_backend->OnScrollRequest(hwnd, LOWORD(wparam));
      return TRUE;
    case WM_MOUSEWHEEL:  // a form made from a template scrolls with the wheel too
      g_backend->OnScrollRequest(hwnd, WheelRequest(wparam));
      return TRUE;
    default:
      return FALSE;
  }
}

VOID CALLBACK BoxWatchTimer(HWND, UINT, UINT_PTR, DWORD) {
  if (g_backend != nullptr)
    g_backend->OnBoxWatch();
}

bool IsDialogClass(HWND hwnd) {
  wchar_t class_name[16] = {};
  GetClassNameW(hwnd, class_name, 16);
  return std::wstring_view(class_name) == L"#32770";
}

// A system box of this thread: a shown, enabled dialog that is none of the
// backend's windows.
struct BoxSearch {
  const std::unordered_map<HWND, uint64_t>* ours = nullptr;
  HWND found = nullptr;
};

BOOL CALLBACK FindSystemBox(HWND hwnd, LPARAM search_address) {
  auto& search = *reinterpret_cast<BoxSearch*>(search_address);
  if (!IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd) || !IsDialogClass(hwnd) ||
      search.ours->count(hwnd) > 0)
    return TRUE;
  search.found = hwnd;
  return FALSE;
}

void RegisterClasses(HINSTANCE instance) {
  WNDCLASSEXW frame{};
  frame.cbSize = sizeof(frame);
  frame.lpfnWndProc = FrameProc;
  frame.hInstance = instance;
  frame.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  frame.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  frame.lpszClassName = kFrameClass;
  RegisterClassExW(&frame);

  WNDCLASSEXW area = frame;
  area.lpszClassName = kAreaClass;
  RegisterClassExW(&area);

  // The balloon tip paints all of itself.
  WNDCLASSEXW tip = frame;
  tip.style = CS_SAVEBITS;
  tip.hbrBackground = nullptr;
  tip.lpszClassName = kTipClass;
  RegisterClassExW(&tip);

  WNDCLASSEXW timers = frame;
  timers.lpszClassName = kTimerClass;
  timers.hbrBackground = nullptr;
  RegisterClassExW(&timers);
}

// The module whose code holds `address`.
HINSTANCE ModuleOf(const void* address) {
  HMODULE module = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      static_cast<LPCWSTR>(address), &module);
  return module;
}

const wchar_t* ControlClass(WindowKind kind) {
  switch (kind) {
    case WindowKind::Static:
      return L"STATIC";
    case WindowKind::Edit:
      return L"EDIT";
    case WindowKind::ComboBox:
      return L"COMBOBOX";
    default:
      return L"BUTTON";
  }
}

// The style a native control gets. The framework keeps the state of check
// boxes itself, so the native one never checks itself.
DWORD ControlStyle(const Window& window) {
  DWORD style = (window.GetStyle() | WS_CHILD) & ~static_cast<DWORD>(WS_VISIBLE);
  switch (window.kind()) {
    case WindowKind::CheckBox:
      return (style & ~static_cast<DWORD>(BS_TYPEMASK)) | BS_CHECKBOX;
    case WindowKind::GroupBox:
      return (style & ~static_cast<DWORD>(BS_TYPEMASK)) | BS_GROUPBOX;
    case WindowKind::ComboBox:
      return style | WS_VSCROLL;
    default:
      return style;
  }
}

// The template a form or dialog is made from; null for other windows.
const DialogTemplate* TemplateOf(const Window& window) {
  if (const auto* form = dynamic_cast<const FormView*>(&window))
    return ModuleRegistry::FindTemplate(form->template_id());
  if (const auto* dialog = dynamic_cast<const Dialog*>(&window))
    return ModuleRegistry::FindTemplate(dialog->template_id());
  return nullptr;
}

bool IsMouseOrKey(UINT message) {
  return (message >= WM_MOUSEFIRST && message <= WM_MBUTTONDBLCLK) || message == WM_KEYDOWN ||
         message == WM_KEYUP;
}

}  // namespace

Win32Backend::Win32Backend(Mode mode) : mode_(mode) {
  g_backend = this;
  HINSTANCE instance = ModuleOf(&g_backend);
  RegisterClasses(instance);
  timer_window_ =
      CreateWindowExW(0, kTimerClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
}

Win32Backend::~Win32Backend() {
  DisarmBoxWatch();
  for (const auto& [key, timer] : native_timers_)
    ::KillTimer(timer_window_, key);
  if (timer_window_ != nullptr)
    DestroyWindow(timer_window_);
  for (auto& [serial, entry] : entries_) {
    if (entry.hwnd != nullptr && IsWindow(entry.hwnd) && GetParent(entry.hwnd) == nullptr)
      DestroyWindow(entry.hwnd);
  }
  if (g_backend == this)
    g_backend = nullptr;
}

HWND Win32Backend::HandleOf(const Window& window) const {
  auto it = entries_.find(window.serial());
  return it != entries_.end() ? it->second.hwnd : nullptr;
}

Window* Win32Backend::WindowOf(HWND hwnd) const {
  for (HWND h = hwnd; h != nullptr; h = GetAncestor(h, GA_PARENT)) {
    auto serial = serials_.find(h);
    if (serial == serials_.end())
      continue;
    auto it = entries_.find(serial->second);
    return it != entries_.end() ? it->second.window.get() : nullptr;
  }
  return nullptr;
}

Size Win32Backend::LaidOutSize(const Window& form) const {
  auto it = entries_.find(form.serial());
  if (it == entries_.end())
    return {};
  return {it->second.form_width, it->second.form_height};
}

Win32Backend::Entry* Win32Backend::Find(const Window& window) {
  auto it = entries_.find(window.serial());
  return it != entries_.end() && it->second.hwnd != nullptr ? &it->second : nullptr;
}

// --- creation ---

HWND Win32Backend::MakeFromTemplate(Window& window, HWND parent) {
  const DialogTemplate* found = TemplateOf(window);
  if (found == nullptr)
    return nullptr;
  // The template tables and the compiled resources come from the same
  // script and live in the same module.
  return CreateDialogFromResource(ModuleOf(found), found->id, parent, DialogProc);
}

HWND Win32Backend::MakeControl(Window& window, HWND parent) {
  const Rect& r = window.rect();
  const std::wstring text = platform::ToWide(window.GetWindowText());
  return CreateWindowExW(window.GetExStyle(), ControlClass(window.kind()), text.c_str(),
                         ControlStyle(window), r.left, r.top, r.Width(), r.Height(), parent,
                         reinterpret_cast<HMENU>(static_cast<uintptr_t>(window.GetDlgCtrlID())),
                         ModuleOf(&g_backend), nullptr);
}

HWND Win32Backend::Claim(Window& control, Entry& parent) {
  if (parent.claimed >= parent.template_controls.size())
    return nullptr;
  HWND next = parent.template_controls[parent.claimed];
  if (static_cast<uint32_t>(GetDlgCtrlID(next)) != (control.GetDlgCtrlID() & 0xFFFF))
    return nullptr;
  ++parent.claimed;
  if (control.kind() == WindowKind::CheckBox)
    SendMessageW(next, BM_SETSTYLE, ControlStyle(control) & 0xFFFF, FALSE);
  return next;
}

HWND Win32Backend::MakeWindow(Window& window) {
  HINSTANCE instance = ModuleOf(&g_backend);
  const Rect& r = window.rect();
  if (!window.IsTopLevel()) {
    Window* parent_window = window.GetParent();
    Entry* parent = parent_window != nullptr ? Find(*parent_window) : nullptr;
    if (parent == nullptr)
      return nullptr;
    if (IsControl(window.kind())) {
      if (HWND claimed = Claim(window, *parent))
        return claimed;
      return MakeControl(window, parent->hwnd);
    }
    if (window.kind() == WindowKind::Form) {
      if (HWND form = MakeFromTemplate(window, parent->hwnd))
        return form;
    }
    const wchar_t* window_class =
        window.kind() == WindowKind::ScrollArea ? kAreaClass : kFrameClass;
    const DWORD style = (window.GetStyle() | WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS) &
                        ~static_cast<DWORD>(WS_VISIBLE);
    HWND area = CreateWindowExW(
        window.GetExStyle(), window_class, L"", style, r.left, r.top, r.Width(), r.Height(),
        parent->hwnd, reinterpret_cast<HMENU>(static_cast<uintptr_t>(window.GetDlgCtrlID())),
        instance, nullptr);
    // A child made after the template's controls comes below them, and a
    // group box of the template that frames it would clip all of it away:
    // it goes on top of its siblings.
    if (area != nullptr)
      SetWindowPos(area, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return area;
  }

  const Window* owner_window = window.GetOwner();
  HWND owner = owner_window != nullptr ? HandleOf(*owner_window) : nullptr;
  if (owner != nullptr)
    owner = GetAncestor(owner, GA_ROOT);
  const std::wstring title = platform::ToWide(window.GetWindowText());
  switch (window.kind()) {
    case WindowKind::Popup:
      return CreateWindowExW(
          window.GetExStyle() | WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kTipClass, L"",
          WS_POPUP, r.left, r.top, r.Width(), r.Height(), owner, nullptr, instance, nullptr);
    case WindowKind::Dialog:
      if (HWND dialog = MakeFromTemplate(window, owner))
        return dialog;
      [[fallthrough]];
    default: {
      const DWORD style = window.GetStyle() & ~static_cast<DWORD>(WS_VISIBLE | WS_CHILD);
      RECT outer{r.left, r.top, r.right, r.bottom};
      AdjustWindowRectEx(&outer, style, FALSE, window.GetExStyle());
      return CreateWindowExW(window.GetExStyle(), kFrameClass, title.c_str(),
                             style | WS_CLIPCHILDREN, outer.left, outer.top,
                             outer.right - outer.left, outer.bottom - outer.top, owner, nullptr,
                             instance, nullptr);
    }
  }
}

void Win32Backend::WindowCreated(Window& window) {
  HWND hwnd = MakeWindow(window);
  if (hwnd != nullptr) {
    Entry& entry = entries_[window.serial()];
    entry.window = WindowRef<>(&window);
    entry.hwnd = hwnd;
    serials_[hwnd] = window.serial();
    if (window.kind() == WindowKind::Form || window.kind() == WindowKind::Dialog)
      entry.from_template = IsDialogClass(hwnd);
    if (entry.from_template && window.kind() == WindowKind::Form) {
      RECT laid_out{};
      GetClientRect(hwnd, &laid_out);
      entry.form_width = laid_out.right;
      entry.form_height = laid_out.bottom;
    }
    if (entry.from_template) {
      for (HWND child = GetWindow(hwnd, GW_CHILD); child != nullptr;
           child = GetWindow(child, GW_HWNDNEXT))
        entry.template_controls.push_back(child);
    }
    ApplyAll(window, entry);
  }
  DrivenBackend::WindowCreated(window);
}

void Win32Backend::ApplyAll(Window& window, Entry& entry) {
  HWND hwnd = entry.hwnd;
  applying_ = true;
  EnableWindow(hwnd, window.IsWindowEnabled() ? TRUE : FALSE);
  ApplyText(window, hwnd);
  ApplyFont(window, hwnd);
  ApplyItems(window, hwnd);
  ApplyCheck(window, hwnd);
  applying_ = false;
  // The system placed what it made from a template; everything else goes
  // where the framework says.
  const Window* parent = window.GetParent();
  const Entry* parent_entry = parent != nullptr && !window.IsTopLevel() ? Find(*parent) : nullptr;
  const bool placed_by_system =
      (entry.from_template && window.IsTopLevel()) ||
      (parent_entry != nullptr && parent_entry->from_template &&
       std::find(parent_entry->template_controls.begin(), parent_entry->template_controls.end(),
                 hwnd) != parent_entry->template_controls.end());
  if (placed_by_system) {
    if (window.IsTopLevel()) {
      // A dialog goes where the system puts it: its window at the top left
      // corner of its owner's client area.
      const Window* owner = window.GetOwner();
      HWND owner_hwnd = owner != nullptr ? HandleOf(*owner) : nullptr;
      POINT origin{0, 0};
      if (owner_hwnd != nullptr)
        ClientToScreen(owner_hwnd, &origin);
      SetWindowPos(hwnd, nullptr, origin.x, origin.y, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ReadPlacement(window, hwnd);
  } else {
    ApplyGeometry(window, hwnd);
  }
  ApplyScroll(window, hwnd);
  ApplyVisibility(window, hwnd);
}

void Win32Backend::ReadPlacement(Window& window, HWND hwnd) {
  Rect placed = PlacementOf(hwnd, window.IsTopLevel());
  // A combo box's rectangle holds its drop-down list, which the system
  // leaves out of the box's own window.
  if (window.kind() == WindowKind::ComboBox)
    placed.bottom = placed.top + window.rect().Height();
  if (placed == window.rect())
    return;
  applying_ = true;
  window.MoveWindow(placed, false);
  applying_ = false;
}

// --- changes ---

void Win32Backend::WindowChanged(Window& window, Change what) {
  Entry* entry = Find(window);
  if (entry != nullptr && !applying_) {
    HWND hwnd = entry->hwnd;
    applying_ = true;
    switch (what) {
      case Change::Text:
        ApplyText(window, hwnd);
        break;
      case Change::Geometry:
        ApplyGeometry(window, hwnd);
        ApplyScroll(window, hwnd);
        break;
      case Change::Visibility:
        ApplyVisibility(window, hwnd);
        break;
      case Change::Enabled:
        EnableWindow(hwnd, window.IsWindowEnabled() ? TRUE : FALSE);
        break;
      case Change::Font:
        ApplyFont(window, hwnd);
        break;
      case Change::Check:
        ApplyCheck(window, hwnd);
        break;
      case Change::Items:
      case Change::Selection:
        ApplyItems(window, hwnd);
        break;
      case Change::Scroll:
        ApplyScroll(window, hwnd);
        break;
    }
    applying_ = false;
  }
  DrivenBackend::WindowChanged(window, what);
}

void Win32Backend::ApplyText(Window& window, HWND hwnd) {
  if (window.kind() == WindowKind::Popup) {
    InvalidateRect(hwnd, nullptr, TRUE);
    return;
  }
  if (window.kind() == WindowKind::ComboBox && (window.GetStyle() & 0x3) == CBS_DROPDOWNLIST)
    return;  // its text is the selected item's
  const std::wstring text = platform::ToWide(window.GetWindowText());
  if (NativeText(hwnd) != text)
    SetWindowTextW(hwnd, text.c_str());
}

void Win32Backend::ApplyGeometry(Window& window, HWND hwnd) {
  const Rect& r = window.rect();
  if (!window.IsTopLevel()) {
    SetWindowPos(hwnd, nullptr, r.left, r.top, r.Width(), r.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    return;
  }
  // The framework's rectangle of a top-level window is its client area.
  RECT outer{r.left, r.top, r.right, r.bottom};
  AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE)));
  SetWindowPos(hwnd, nullptr, outer.left, outer.top, outer.right - outer.left,
               outer.bottom - outer.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Backend::ApplyVisibility(Window& window, HWND hwnd) {
  const bool visible = (window.GetStyle() & WS_VISIBLE) != 0;
  if (!visible) {
    ShowWindow(hwnd, SW_HIDE);
    return;
  }
  if (window.kind() == WindowKind::Popup) {
    SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    return;
  }
  ShowWindow(hwnd, window.IsTopLevel() ? SW_SHOW : SW_SHOWNA);
}

void Win32Backend::ApplyFont(Window& window, HWND hwnd) {
  if (!window.GetFont().IsSet() || window.kind() == WindowKind::Popup)
    return;
  // A control of a template keeps the font the system gave the dialog when
  // the framework asks for the template's own.
  HFONT font = nullptr;
  if (const Window* parent = window.GetParent(); parent != nullptr && !window.IsTopLevel()) {
    if (const Entry* host = Find(*parent); host != nullptr && host->from_template) {
      const DialogTemplate* found = TemplateOf(*parent);
      if (found != nullptr && found->font.ToFont() == window.GetFont())
        font = reinterpret_cast<HFONT>(SendMessageW(host->hwnd, WM_GETFONT, 0, 0));
    }
  }
  if (Entry* self = Find(window); self != nullptr && self->from_template)
    return;  // the system set it from the template
  if (font == nullptr)
    font = fonts_.Get(window.GetFont());
  if (font != nullptr)
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void Win32Backend::ApplyItems(Window& window, HWND hwnd) {
  const auto* combo = dynamic_cast<const ComboBox*>(&window);
  if (combo == nullptr)
    return;
  std::vector<std::wstring> shown;
  const auto count = static_cast<int>(SendMessageW(hwnd, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    const auto length = SendMessageW(hwnd, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
    std::wstring item(static_cast<size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
    SendMessageW(hwnd, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item.data()));
    item.resize(static_cast<size_t>(std::max<LRESULT>(length, 0)));
    shown.push_back(std::move(item));
  }
  std::vector<std::wstring> wanted;
  for (const std::string& item : combo->items())
    wanted.push_back(platform::ToWide(item));
  if (shown != wanted) {
    SendMessageW(hwnd, CB_RESETCONTENT, 0, 0);
    for (const std::wstring& item : wanted)
      SendMessageW(hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  }
  SendMessageW(hwnd, CB_SETCURSEL, static_cast<WPARAM>(combo->GetCurSel()), 0);
}

void Win32Backend::ApplyCheck(Window& window, HWND hwnd) {
  const auto* button = dynamic_cast<const Button*>(&window);
  if (button != nullptr && window.kind() == WindowKind::CheckBox)
    SendMessageW(hwnd, BM_SETCHECK, button->GetCheck() != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Win32Backend::ApplyScroll(Window& window, HWND hwnd) {
  if (Entry* entry = Find(window); entry != nullptr && entry->form_height > 0) {
    const int page = window.rect().Height();
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMax = std::max(entry->form_height, page) - 1;
    info.nPage = static_cast<UINT>(std::max(page, 0));
    info.nPos = entry->form_scroll;
    ShowScrollBar(hwnd, SB_VERT, entry->form_height > page ? TRUE : FALSE);
    SetScrollInfo(hwnd, SB_VERT, &info, TRUE);
    return;
  }
  const auto* area = dynamic_cast<const ScrollArea*>(&window);
  if (area == nullptr)
    return;
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMin = 0;
  info.nMax = std::max(area->content_height(), area->rect().Height()) - 1;
  info.nPage = static_cast<UINT>(area->rect().Height());
  info.nPos = area->scroll_pos();
  ShowScrollBar(hwnd, SB_VERT, area->CanScroll() ? TRUE : FALSE);
  SetScrollInfo(hwnd, SB_VERT, &info, TRUE);
}

void Win32Backend::WindowDestroyed(Window& window) {
  DrivenBackend::WindowDestroyed(window);
  for (auto it = timer_keys_.begin(); it != timer_keys_.end();) {
    if (it->first.first == window.serial()) {
      ::KillTimer(timer_window_, it->second);
      native_timers_.erase(it->second);
      it = timer_keys_.erase(it);
    } else {
      ++it;
    }
  }
  // The host's page gone, the message loop has nothing left to run for.
  if (Application* app = Application::Current(); app != nullptr && app->page() == &window)
    PostQuitMessage(0);
  auto it = entries_.find(window.serial());
  if (it == entries_.end())
    return;
  HWND hwnd = it->second.hwnd;
  entries_.erase(it);
  serials_.erase(hwnd);
  if (hwnd != nullptr && IsWindow(hwnd))
    DestroyWindow(hwnd);
}

void Win32Backend::Invalidate(Window& window) {
  if (HWND hwnd = HandleOf(window))
    InvalidateRect(hwnd, nullptr, TRUE);
  DrivenBackend::Invalidate(window);
}

std::string Win32Backend::ShownDifference(const Window& window) const {
  HWND hwnd = HandleOf(window);
  if (hwnd == nullptr)
    return window.IsWindow() ? "no native window" : "";
  std::string differences;
  const auto note = [&](std::string what) {
    differences += (differences.empty() ? "" : "; ") + std::move(what);
  };
  if ((IsWindowVisible(hwnd) != FALSE) != window.IsWindowVisible())
    note(IsWindowVisible(hwnd) ? "shown" : "hidden");
  if ((IsWindowEnabled(hwnd) != FALSE) != window.IsWindowEnabled())
    note(IsWindowEnabled(hwnd) ? "enabled" : "disabled");
  Rect placed = PlacementOf(hwnd, window.IsTopLevel());
  if (window.kind() == WindowKind::ComboBox)
    placed.bottom = placed.top + window.rect().Height();
  if (placed != window.rect())
    note("at " + std::to_string(placed.left) + "," + std::to_string(placed.top) + "," +
         std::to_string(placed.right) + "," + std::to_string(placed.bottom));
  const auto* combo = dynamic_cast<const ComboBox*>(&window);
  if (combo != nullptr) {
    const auto selected = static_cast<int>(SendMessageW(hwnd, CB_GETCURSEL, 0, 0));
    if (selected != combo->GetCurSel())
      note("item " + std::to_string(selected) + " selected");
  }
  const bool shows_text = IsControl(window.kind()) || window.kind() == WindowKind::Dialog;
  const bool list_only = combo != nullptr && (window.GetStyle() & 0x3) == CBS_DROPDOWNLIST;
  if (shows_text && !list_only) {
    const std::string text = platform::FromWide(NativeText(hwnd));
    if (text != window.GetWindowText())
      note("text \"" + text + "\"");
  }
  if (const auto* button = dynamic_cast<const Button*>(&window);
      button != nullptr && window.kind() == WindowKind::CheckBox) {
    const bool checked = SendMessageW(hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
    if (checked != (button->GetCheck() != 0))
      note(checked ? "checked" : "unchecked");
  }
  return differences;
}

// --- what the window procedures report ---

void Win32Backend::OnNativeCommand(HWND control, uint32_t code) {
  if (applying_)
    return;
  Window* window = WindowOf(control);
  if (window == nullptr || HandleOf(*window) != control)
    return;
  switch (window->kind()) {
    case WindowKind::Edit:
      if (code == EN_CHANGE) {
        const std::string typed = platform::FromWide(NativeText(control));
        if (typed != window->GetWindowText())
          UserType(*window, typed);
      }
      break;
    case WindowKind::ComboBox:
      if (code == CBN_SELCHANGE) {
        if (auto* combo = dynamic_cast<ComboBox*>(window))
          UserPick(*combo, static_cast<int>(SendMessageW(control, CB_GETCURSEL, 0, 0)));
      } else if (code == CBN_EDITCHANGE) {
        window->SetWindowText(platform::FromWide(NativeText(control)));
      }
      break;
    case WindowKind::Button:
    case WindowKind::CheckBox:
      // A click of the mouse reached the framework before the button; one
      // of the keyboard (the space bar) is the framework's click here.
      if (code == BN_CLICKED && !native_click_)
        UserClick(*window);
      break;
    default:
      break;
  }
}

void Win32Backend::OnCloseRequest(HWND hwnd) {
  Window* window = WindowOf(hwnd);
  Application* app = Application::Current();
  if (window == nullptr || app == nullptr)
    return;
  if (window->kind() == WindowKind::Dialog)
    window->OnCommand(IDCANCEL, BN_CLICKED);
  else
    app->RunCommand([window] { window->DestroyWindow(); });
}

void Win32Backend::OnPaintRequest(HWND hwnd) {
  PAINTSTRUCT paint{};
  HDC dc = BeginPaint(hwnd, &paint);
  Window* window = WindowOf(hwnd);
  Application* app = Application::Current();
  if (dc != nullptr && window != nullptr && app != nullptr && HandleOf(*window) == hwnd) {
    if (window->kind() == WindowKind::Popup) {
      GdiPainter painter(dc, fonts_);
      app->RunCommand([&] { window->OnPaint(painter); });
    } else {
      ::FillRect(dc, &paint.rcPaint, GetSysColorBrush(COLOR_BTNFACE));
    }
  }
  EndPaint(hwnd, &paint);
}

void Win32Backend::ScrollForm(Window& form, Entry& entry, int pos) {
  Application* app = Application::Current();
  const int limit = std::max(0, entry.form_height - form.rect().Height());
  const int wanted = std::clamp(pos, 0, limit);
  const int delta = wanted - entry.form_scroll;
  if (app == nullptr || delta == 0)
    return;
  entry.form_scroll = wanted;
  app->RunCommand([&] {
    const std::vector<Window*> children = form.children();
    for (Window* child : children)
      child->MoveWindow(child->rect().Offset(0, -delta), false);
  });
  ApplyScroll(form, entry.hwnd);
}

void Win32Backend::OnScrollRequest(HWND hwnd, int request) {
  Window* window = WindowOf(hwnd);
  if (window != nullptr && window->kind() == WindowKind::Form) {
    Entry* entry = Find(*window);
    if (entry == nullptr || entry->hwnd != hwnd || entry->form_height == 0)
      return;
    if (const std::optional<int> to = RequestedScroll(hwnd, request, entry->form_scroll,
                                                      kFormScrollLine, window->rect().Height()))
      ScrollForm(*window, *entry, *to);
    return;
  }
  auto* area = dynamic_cast<ScrollArea*>(window);
  Application* app = Application::Current();
  if (area == nullptr || app == nullptr || HandleOf(*area) != hwnd)
    return;
  // A page is the whole lines that the area shows.
  const int line = area->line_height();
  const int page = std::max(1, area->rect().Height() / line) * line;
  if (const std::optional<int> to = RequestedScroll(hwnd, request, area->scroll_pos(), line, page))
    app->RunCommand([&] { area->ScrollTo(*to); });
}

void Win32Backend::OnNativeTimer(uintptr_t key) {
  auto it = native_timers_.find(key);
  Application* app = Application::Current();
  if (it == native_timers_.end() || app == nullptr)
    return;
  Window* target = it->second.first.get();
  const uint32_t id = it->second.second;
  if (target != nullptr)
    app->RunCommand([&] { target->OnTimer(id); });
}

// --- the message loop ---

bool Win32Backend::PreTranslate(MSG& msg) {
  if (!IsMouseOrKey(msg.message))
    return false;
  Window* target = WindowOf(msg.hwnd);
  Application* app = Application::Current();
  if (target == nullptr || app == nullptr)
    return false;
  while (!target->IsWindowEnabled() && !target->IsTopLevel() && target->GetParent() != nullptr)
    target = target->GetParent();
  Msg input;
  input.message = msg.message;
  input.target = target;
  input.wparam = static_cast<uint32_t>(msg.wParam);
  POINT screen = msg.pt;
  if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MBUTTONDBLCLK) {
    synthetic_cursor_.reset();
    screen = POINT{static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam))};
    ClientToScreen(msg.hwnd, &screen);
  }
  input.screen = {screen.x, screen.y};
  input.pt = target->ScreenToClient(input.screen);
  return app->DispatchInput(input);
}

HWND Win32Backend::DialogHolding(HWND hwnd) const {
  HWND dialog = nullptr;
  for (HWND h = hwnd; h != nullptr; h = GetAncestor(h, GA_PARENT)) {
    auto serial = serials_.find(h);
    if (serial == serials_.end())
      continue;
    auto it = entries_.find(serial->second);
    if (it != entries_.end() && it->second.from_template)
      dialog = h;
  }
  return dialog;
}

void Win32Backend::Dispatch(MSG& msg) {
  if (PreTranslate(msg))
    return;
  native_click_ = msg.message == WM_LBUTTONUP || msg.message == WM_LBUTTONDOWN;
  // What the framework left, the system's dialog manager takes as in any
  // dialog of Windows: Tab and Shift+Tab through the tab stops, the arrow
  // keys within a group, a control's mnemonic. It delivers what it takes.
  HWND dialog = DialogHolding(msg.hwnd);
  if (dialog == nullptr || !IsDialogMessageW(dialog, &msg)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  native_click_ = false;
  if (Application* app = Application::Current())
    app->Flush();
}

void Win32Backend::Settle() {
  MSG msg{};
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    Dispatch(msg);
}

void Win32Backend::RunMessageLoop() {
  MSG msg{};
  for (;;) {
    Application* app = Application::Current();
    Window* page = app != nullptr ? app->page() : nullptr;
    if (page == nullptr || !page->IsWindow())
      return;
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1)
      return;
    Dispatch(msg);
  }
}

// --- modal requests ---

int Win32Backend::MessageBox(const Window* owner, std::string_view caption, std::string_view text,
                             uint32_t type) {
  if (mode_ == Mode::kDriven)
    return DrivenBackend::MessageBox(owner, caption, text, type);
  HWND owner_hwnd = owner != nullptr ? HandleOf(*owner) : nullptr;
  ArmBoxWatch(false);
  const int answer = ShowMessageBox(
      owner_hwnd != nullptr ? GetAncestor(owner_hwnd, GA_ROOT) : nullptr, caption, text, type);
  DisarmBoxWatch();
  return answer;
}

std::optional<std::string> Win32Backend::FileDialog(const FileDialogRequest& request) {
  if (mode_ == Mode::kDriven)
    return DrivenBackend::FileDialog(request);
  HWND owner = request.owner != nullptr ? HandleOf(*request.owner) : nullptr;
  ArmBoxWatch(true);
  std::optional<std::string> chosen =
      ShowFileDialog(owner != nullptr ? GetAncestor(owner, GA_ROOT) : nullptr, request);
  DisarmBoxWatch();
  return chosen;
}

void Win32Backend::ArmBoxWatch(bool file_dialog) {
  DisarmBoxWatch();
  if (!modal_hook_)
    return;
  watching_file_dialog_ = file_dialog;
  box_watch_ = ::SetTimer(nullptr, 0, kBoxWatchPeriod, BoxWatchTimer);
}

void Win32Backend::DisarmBoxWatch() {
  if (box_watch_ != 0)
    ::KillTimer(nullptr, box_watch_);
  box_watch_ = 0;
}

void Win32Backend::OnBoxWatch() {
  if (box_watch_ == 0 || !modal_hook_)
    return;
  BoxSearch search;
  search.ours = &serials_;
  EnumThreadWindows(GetCurrentThreadId(), FindSystemBox, reinterpret_cast<LPARAM>(&search));
  if (search.found == nullptr)
    return;
  DisarmBoxWatch();
  modal_hook_(search.found, watching_file_dialog_);
}

// --- timers ---

void Win32Backend::SetTimer(Window& window, uint32_t id, uint32_t elapse_ms) {
  if (mode_ == Mode::kDriven) {
    DrivenBackend::SetTimer(window, id, elapse_ms);
    return;
  }
  uintptr_t& key = timer_keys_[{window.serial(), id}];
  if (key == 0)
    key = next_timer_key_++;
  native_timers_[key] = {WindowRef<>(&window), id};
  ::SetTimer(timer_window_, key, std::max(elapse_ms, kMinimumPeriod), nullptr);
}

bool Win32Backend::KillTimer(Window& window, uint32_t id) {
  if (mode_ == Mode::kDriven)
    return DrivenBackend::KillTimer(window, id);
  auto it = timer_keys_.find({window.serial(), id});
  if (it == timer_keys_.end())
    return false;
  ::KillTimer(timer_window_, it->second);
  native_timers_.erase(it->second);
  timer_keys_.erase(it);
  return true;
}

// --- screen, cursor, text ---

Size Win32Backend::ScreenSize() const {
  return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

Point Win32Backend::CursorPos() const {
  if (synthetic_cursor_)
    return *synthetic_cursor_;
  POINT pos{};
  ::GetCursorPos(&pos);
  return {pos.x, pos.y};
}

Rect Win32Backend::MeasureText(const Font& font, std::string_view text, const Rect& bounds,
                               uint32_t flags) const {
  return win32::MeasureText(fonts_, font, text, bounds, flags);
}

Font Win32Backend::StatusFont() const {
  return StatusBarFont();
}

ColorRef Win32Backend::GetSysColour(SystemColour which) const {
  switch (which) {
    case SystemColour::TooltipBackground:
      return GetSysColor(COLOR_INFOBK);
    case SystemColour::TooltipText:
      return GetSysColor(COLOR_INFOTEXT);
  }
  return GetSysColor(COLOR_INFOTEXT);
}

}  // namespace nuv::fw::win32
