#include "test_form.h"

#include <string>

#include "framework/application.h"
#include "framework/button.h"
#include "framework/combo_box.h"
#include "framework/data_exchange.h"
#include "framework/file_dialog.h"
#include "framework/message_map.h"
#include "framework/open_file_name.h"
#include "platform/errors.h"
#include "test_resource.h"

namespace nuv::test {
namespace {

constexpr char kHexFilter[] = "hex files (*.hex)\0*.hex\0All Files (*.*)\0*.*\0";

}  // namespace

constinit const fw::RuntimeClass TestForm::kClass{"NuvDialog", &fw::CreateInstance<TestForm>};

TestForm::TestForm() : fw::FormView(IDD_TEST_FORM) {}

TestForm::~TestForm() {
  DestroyWindow();
}

const fw::RuntimeClass& TestForm::GetRuntimeClass() const {
  return kClass;
}

const fw::MessageMap& TestForm::GetMessageMap() const {
  static const fw::MessageMap map(
      &fw::Window::ClassMessageMap(),
      {
          fw::OnClicked(IDC_APPLY, &TestForm::Apply),
          fw::OnClicked(IDC_VERBOSE, &TestForm::Verbose),
          fw::OnSelChange(IDC_COLOUR, &TestForm::PickColour),
          // The single route comes first and wins.
          fw::OnClicked(IDC_RANGE_C, &TestForm::Special),
          fw::OnClickedRange(IDC_RANGE_A, IDC_RANGE_D, &TestForm::Range),
          fw::OnClicked(IDC_OPEN_SUB, &TestForm::OpenSub),
          fw::OnClicked(IDC_THROW, &TestForm::Throw),
          fw::OnClicked(IDC_TIMER, &TestForm::StartTimer),
          fw::OnClicked(IDC_SAVE_AS, &TestForm::SaveAs),
          fw::OnClicked(IDC_OPEN_FILE, &TestForm::OpenFile),
      });
  return map;
}

void TestForm::DoDataExchange(fw::DataExchange& dx) {
  fw::DDX_Text(dx, IDC_COUNT, count_);
  fw::DDX_Text(dx, IDC_SIZE, size_);
  fw::DDX_Text(dx, IDC_PATH, path_);
}

void TestForm::OnInitialUpdate() {
  fw::FormView::OnInitialUpdate();
  if (auto* colours = GetDlgItemAs<fw::ComboBox>(IDC_COLOUR)) {
    colours->AddString("red");
    colours->AddString("green");
    colours->AddString("blue");
    colours->SetCurSel(0);
  }
  tip_.Create(this);
}

bool TestForm::PreTranslateMessage(const fw::Msg& msg) {
  if (msg.message == fw::WM_MOUSEMOVE) {
    const bool over_apply = msg.target != nullptr && msg.target->GetParent() == this &&
                            msg.target->GetDlgCtrlID() == IDC_APPLY;
    if (over_apply) {
      SetTimer(kTipTimer, 500);
    } else {
      KillTimer(kTipTimer);
      tip_.Hide();
    }
  } else if (msg.message == fw::WM_KEYDOWN || msg.message == fw::WM_LBUTTONDOWN) {
    KillTimer(kTipTimer);
    tip_.Hide();
  }
  return fw::FormView::PreTranslateMessage(msg);
}

void TestForm::OnTimer(uint32_t id) {
  if (id == kTipTimer) {
    KillTimer(kTipTimer);
    fw::Application* app = fw::Application::Current();
    const fw::Point cursor = app->GetCursorPos();
    tip_.Pop({cursor.x, cursor.y + 20},
             "Apply the numbers to the form and show them in a box.\nNothing else changes.");
  } else if (id == kTickTimer) {
    ++ticks_;
    if (fw::Window* ticks = GetDlgItem(IDC_TICKS))
      ticks->SetWindowText("ticks: " + std::to_string(ticks_));
    if (ticks_ == 3) {
      KillTimer(kTickTimer);
      MessageBox("timer done", "Test");
    }
  }
}

void TestForm::Apply() {
  if (!UpdateData(true))
    return;
  if (fw::Window* note = GetDlgItem(IDC_HIDDEN_NOTE))
    note->ShowWindow(fw::SW_SHOW);
  MessageBox("count=" + std::to_string(count_) + " size=" + std::to_string(size_), "Test");
}

void TestForm::Verbose() {
  const auto* box = GetDlgItemAs<fw::Button>(IDC_VERBOSE);
  MessageBox(box != nullptr && box->GetCheck() != 0 ? "verbose on" : "verbose off", "Test");
}

void TestForm::PickColour() {
  if (const auto* colours = GetDlgItemAs<fw::ComboBox>(IDC_COLOUR))
    MessageBox("picked " + colours->GetLBText(colours->GetCurSel()), "Test");
}

void TestForm::Special() {
  MessageBox("C is special", "Test");
}

void TestForm::Range(uint32_t id) {
  MessageBox("range " + std::to_string(id), "Test");
}

void TestForm::OpenSub() {
  if (sub_ && sub_->IsWindow()) {
    sub_->ShowWindow(fw::SW_SHOW);
    return;
  }
  sub_ = std::make_unique<TestSubDialog>();
  sub_->on_destroyed = [this] { MessageBox("the sub dialog is gone", "Test"); };
  sub_->Create(this);
}

void TestForm::Throw() {
  throw FileError("The file could not be removed.");
}

void TestForm::StartTimer() {
  ticks_ = 0;
  SetTimer(kTickTimer, 250);
}

void TestForm::SaveAs() {
  fw::FileDialog dialog(false, "bin", "*.bin", fw::OFN_HIDEREADONLY | fw::OFN_OVERWRITEPROMPT,
                        "BIN files(*.bin)|*.bin|All   files   (*.*)|*.*||", this);
  if (dialog.DoModal() != static_cast<int>(fw::IDOK))
    return;
  path_ = dialog.GetPathName();
  UpdateData(false);
  MessageBox("saving as " + path_, "Test");
}

void TestForm::OpenFile() {
  fw::OpenFileName ofn;
  ofn.owner = this;
  ofn.filter = std::string_view(kHexFilter, sizeof kHexFilter);
  ofn.flags = fw::OFN_EXPLORER;
  ofn.default_extension = "hex";
  if (!fw::GetOpenFileName(ofn))
    return;
  path_ = ofn.FileName();
  UpdateData(false);
  MessageBox("opening " + path_, "Test");
}

}  // namespace nuv::test
