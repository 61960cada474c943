#include "test_sub_dialog.h"

#include <string>

#include "framework/message_map.h"
#include "test_resource.h"

namespace nuv::test {

constinit const fw::RuntimeClass TestSubDialog::kClass{"NuvSubDialog",
                                                       &fw::CreateInstance<TestSubDialog>};

TestSubDialog::TestSubDialog() : fw::Dialog(IDD_TEST_SUB) {}

TestSubDialog::~TestSubDialog() {
  on_destroyed = nullptr;
  DestroyWindow();
}

const fw::RuntimeClass& TestSubDialog::GetRuntimeClass() const {
  return kClass;
}

const fw::MessageMap& TestSubDialog::GetMessageMap() const {
  static const fw::MessageMap map(&fw::Dialog::ClassMessageMap(),
                                  {
                                      fw::OnClickedRange(20000, 20030, &TestSubDialog::Extra),
                                      fw::OnClicked(IDC_SUB_BACK, &TestSubDialog::Back),
                                      fw::OnClicked(IDC_SUB_CLOSE, &TestSubDialog::Close),
                                  });
  return map;
}

bool TestSubDialog::OnInitDialog() {
  const bool filled = fw::Dialog::OnInitDialog();
  if (fw::Window* extra =
          CreateControl(fw::WindowKind::Button, "Extra", fw::WS_VISIBLE | fw::BS_PUSHBUTTON,
                        {10, 100, 110, 122}, 20000))
    extra->SetFont(GetFont());
  return filled;
}

void TestSubDialog::OnDestroy() {
  if (on_destroyed)
    on_destroyed();
}

void TestSubDialog::Extra(uint32_t id) {
  MessageBox("extra " + std::to_string(id), "Test");
}

void TestSubDialog::Back() {
  EndDialog(static_cast<int>(fw::IDCANCEL));
}

void TestSubDialog::Close() {
  DestroyWindow();
}

}  // namespace nuv::test
