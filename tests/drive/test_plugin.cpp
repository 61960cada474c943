// The test plug-in that nuv-drive's own scripts drive: its exports, its
// module and its three window classes. The page is a form with numbers
// exchanged with members, a check box, a combo box, buttons routed by an id
// range, a modeless dialog, a handler that throws, a timer, both file
// dialogs and a tip on "Apply".
#include <functional>
#include <memory>
#include <string>

#include "framework/application.h"
#include "framework/button.h"
#include "framework/combo_box.h"
#include "framework/constants.h"
#include "framework/data_exchange.h"
#include "framework/dialog.h"
#include "framework/file_dialog.h"
#include "framework/form_view.h"
#include "framework/message_map.h"
#include "framework/module.h"
#include "framework/open_file_name.h"
#include "framework/painter.h"
#include "framework/plugin_abi.h"
#include "framework/popup_window.h"
#include "framework/window_ref.h"
#include "platform/errors.h"
#include "test_resource.h"

extern const nuv::fw::DialogTemplates nuv_test_plugin_templates;

namespace nuv::test {
namespace {

using namespace nuv::fw;

// A framed pop-up that shows a text wrapped at 200 pixels with its top-left
// corner at a screen point.
class TestTip : public PopupWindow {
 public:
  static constexpr uint32_t kFlags =
      DT_WORDBREAK | DT_EXPANDTABS | DT_EXTERNALLEADING | DT_NOPREFIX;
  static constexpr RuntimeClass kClass{"BalloonTip", nullptr};
  const RuntimeClass& GetRuntimeClass() const override { return kClass; }

  void Pop(Point screen, std::string text) {
    Backend& backend = Application::Current()->backend();
    text_ = std::move(text);
    const Rect extent =
        backend.MeasureText(backend.StatusFont(), text_, {0, 0, 200, 0}, kFlags | DT_CALCRECT);
    ShowAt({screen.x, screen.y, screen.x + extent.Width() + 5, screen.y + extent.Height() + 5});
  }
  void OnPaint(Painter& painter) override {
    Backend& backend = Application::Current()->backend();
    const Rect client = GetClientRect();
    painter.FillRect(client, RGB(187, 247, 172));
    painter.FrameRect(client);
    Rect text_rect{client.left + 2, client.top + 2, client.right - 3, client.bottom - 3};
    painter.DrawText(text_, text_rect, kFlags, backend.StatusFont(),
                     backend.GetSysColour(SystemColour::TooltipText));
  }

 private:
  std::string text_;
};

// A modeless dialog: a fixed edit, Back (hides), Close (destroys), Cancel
// (the framework's cancel), and a button made at run time.
class TestSubDialog : public Dialog {
 public:
  TestSubDialog() : Dialog(IDD_TEST_SUB) {}
  ~TestSubDialog() override {
    on_destroyed = nullptr;
    DestroyWindow();
  }
  static constexpr RuntimeClass kClass{"NuvSubDialog", &CreateInstance<TestSubDialog>};
  const RuntimeClass& GetRuntimeClass() const override { return kClass; }
  const MessageMap& GetMessageMap() const override {
    static const MessageMap map(&Dialog::ClassMessageMap(),
                                {
                                    OnClickedRange(20000, 20030, &TestSubDialog::Extra),
                                    OnClicked(IDC_SUB_BACK, &TestSubDialog::Back),
                                    OnClicked(IDC_SUB_CLOSE, &TestSubDialog::Close),
                                });
    return map;
  }

  std::function<void()> on_destroyed;

 protected:
  bool OnInitDialog() override {
    const bool filled = Dialog::OnInitDialog();
    if (Window* extra = CreateControl(WindowKind::Button, "Extra", WS_VISIBLE | BS_PUSHBUTTON,
                                      {10, 100, 110, 122}, 20000))
      extra->SetFont(GetFont());
    return filled;
  }
  void OnDestroy() override {
    if (on_destroyed)
      on_destroyed();
  }

 private:
  void Extra(uint32_t id) { MessageBox("extra " + std::to_string(id), "Test"); }
  void Back() { EndDialog(static_cast<int>(IDCANCEL)); }
  void Close() { DestroyWindow(); }
};

class TestForm : public FormView {
 public:
  TestForm() : FormView(IDD_TEST_FORM) {}
  ~TestForm() override { DestroyWindow(); }
  static constexpr RuntimeClass kClass{"NuvDialog", &CreateInstance<TestForm>};
  const RuntimeClass& GetRuntimeClass() const override { return kClass; }
  const MessageMap& GetMessageMap() const override {
    static const MessageMap map(&Window::ClassMessageMap(),
                                {
                                    OnClicked(IDC_APPLY, &TestForm::Apply),
                                    OnClicked(IDC_VERBOSE, &TestForm::Verbose),
                                    OnSelChange(IDC_COLOUR, &TestForm::PickColour),
                                    // The single route comes first and wins.
                                    OnClicked(IDC_RANGE_C, &TestForm::Special),
                                    OnClickedRange(IDC_RANGE_A, IDC_RANGE_D, &TestForm::Range),
                                    OnClicked(IDC_OPEN_SUB, &TestForm::OpenSub),
                                    OnClicked(IDC_THROW, &TestForm::Throw),
                                    OnClicked(IDC_TIMER, &TestForm::StartTimer),
                                    OnClicked(IDC_SAVE_AS, &TestForm::SaveAs),
                                    OnClicked(IDC_OPEN_FILE, &TestForm::OpenFile),
                                });
    return map;
  }
  void DoDataExchange(DataExchange& dx) override {
    DDX_Text(dx, IDC_COUNT, count_);
    DDX_Text(dx, IDC_SIZE, size_);
    DDX_Text(dx, IDC_PATH, path_);
  }

  // The mouse resting on "Apply" starts the tip's timer; moving elsewhere,
  // a key or a click hides the tip.
  bool PreTranslateMessage(const Msg& msg) override {
    const bool over_apply = msg.message == WM_MOUSEMOVE && msg.target != nullptr &&
                            msg.target->GetParent() == this &&
                            msg.target->GetDlgCtrlID() == IDC_APPLY;
    if (over_apply) {
      SetTimer(kTipTimer, 500);
    } else if (msg.message == WM_MOUSEMOVE || msg.message == WM_KEYDOWN ||
               msg.message == WM_LBUTTONDOWN) {
      KillTimer(kTipTimer);
      tip_.Hide();
    }
    return FormView::PreTranslateMessage(msg);
  }
  void OnTimer(uint32_t id) override {
    if (id == kTipTimer) {
      KillTimer(kTipTimer);
      const Point cursor = Application::Current()->GetCursorPos();
      tip_.Pop({cursor.x, cursor.y + 20},
               "Apply the numbers to the form and show them in a box.\nNothing else changes.");
    } else if (id == kTickTimer) {
      GetDlgItem(IDC_TICKS)->SetWindowText("ticks: " + std::to_string(++ticks_));
      if (ticks_ == 3) {
        KillTimer(kTickTimer);
        MessageBox("timer done", "Test");
      }
    }
  }

 protected:
  void OnInitialUpdate() override {
    FormView::OnInitialUpdate();
    auto* colours = GetDlgItemAs<ComboBox>(IDC_COLOUR);
    for (const char* colour : {"red", "green", "blue"})
      colours->AddString(colour);
    colours->SetCurSel(0);
    tip_.Create(this);
  }

 private:
  static constexpr uint32_t kTipTimer = 1;
  static constexpr uint32_t kTickTimer = 7;

  void Apply() {
    if (!UpdateData(true))
      return;
    GetDlgItem(IDC_HIDDEN_NOTE)->ShowWindow(SW_SHOW);
    MessageBox("count=" + std::to_string(count_) + " size=" + std::to_string(size_), "Test");
  }
  void Verbose() {
    MessageBox(GetDlgItemAs<Button>(IDC_VERBOSE)->GetCheck() != 0 ? "verbose on" : "verbose off",
               "Test");
  }
  void PickColour() {
    const auto* colours = GetDlgItemAs<ComboBox>(IDC_COLOUR);
    MessageBox("picked " + colours->GetLBText(colours->GetCurSel()), "Test");
  }
  void Special() { MessageBox("C is special", "Test"); }
  void Range(uint32_t id) { MessageBox("range " + std::to_string(id), "Test"); }
  void OpenSub() {
    if (sub_ && sub_->IsWindow()) {
      sub_->ShowWindow(SW_SHOW);
      return;
    }
    sub_ = std::make_unique<TestSubDialog>();
    sub_->on_destroyed = [this] { MessageBox("the sub dialog is gone", "Test"); };
    sub_->Create(this);
  }
  void Throw() { throw FileError("The file could not be removed."); }
  void StartTimer() {
    ticks_ = 0;
    SetTimer(kTickTimer, 250);
  }
  void SaveAs() {
    FileDialog dialog(false, "bin", "*.bin", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                      "BIN files(*.bin)|*.bin|All   files   (*.*)|*.*||", this);
    if (dialog.DoModal() == static_cast<int>(IDOK))
      Show("saving as ", dialog.GetPathName());
  }
  void OpenFile() {
    static constexpr char kHexFilter[] = "hex files (*.hex)\0*.hex\0All Files (*.*)\0*.*\0";
    OpenFileName ofn;
    ofn.owner = this;
    ofn.filter = std::string_view(kHexFilter, sizeof kHexFilter);
    ofn.flags = OFN_EXPLORER;
    ofn.default_extension = "hex";
    if (GetOpenFileName(ofn))
      Show("opening ", ofn.FileName());
  }
  // A chosen path goes into its edit and a box.
  void Show(const std::string& what, std::string path) {
    path_ = std::move(path);
    UpdateData(false);
    MessageBox(what + path_, "Test");
  }

  int32_t count_ = 0;
  uint32_t size_ = 0;
  std::string path_;
  int ticks_ = 0;
  std::unique_ptr<TestSubDialog> sub_;
  TestTip tip_;
};

Module g_module("test plug-in", nuv_test_plugin_templates,
                {&TestForm::kClass, &TestSubDialog::kClass, &TestTip::kClass});

WindowRef<TestForm> g_form;

}  // namespace
}  // namespace nuv::test

extern "C" const char* dll_get_title() {
  return "TEST";
}

extern "C" int dll_is_gui() {
  return 1;
}

extern "C" int dll_init(nuv::fw::Window* parent, uint32_t) {
  using nuv::test::TestForm;
  if (nuv::test::g_form)
    return 1;
  auto form = std::make_unique<TestForm>();
  if (parent == nullptr ||
      !form->Create(nuv::fw::WS_CHILD | nuv::fw::WS_VISIBLE | nuv::fw::WS_BORDER, {0, 0, 0, 0},
                    parent, nuv::fw::AFX_IDW_PANE_FIRST))
    return 0;
  nuv::test::g_form = nuv::fw::WindowRef<TestForm>(form.get());
  // A view goes with its window: the page keeps it until then.
  parent->Adopt(std::move(form));
  return 1;
}

extern "C" void dll_deinit() {}
