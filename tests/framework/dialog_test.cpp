// Dialogs made from templates: their life, their keys, their handlers that
// destroy windows, their data exchange; and the system's open-file dialog.
#include "framework/dialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "framework/combo_box.h"
#include "framework/data_exchange.h"
#include "framework/message_map.h"
#include "framework/open_file_name.h"
#include "framework/user_input.h"
#include "framework/window_ref.h"
#include "framework_fixture.h"
#include "test_dialogs.h"

namespace nuv::fw {
namespace {

using Log = std::vector<std::string>;

// Records its life, and offers handlers that destroy windows.
class Recorder : public Dialog {
 public:
  explicit Recorder(Log& log) : Dialog(IDD_PROBE), log_(log) {}
  ~Recorder() override {
    log_.push_back("deleted");
    DestroyWindow();
  }

  const MessageMap& GetMessageMap() const override {
    static const MessageMap map(&Dialog::ClassMessageMap(),
                                {
                                    OnClicked(IDC_GO, &Recorder::Go),
                                    OnClicked(IDC_OUTSIDE_RANGE, &Recorder::DestroySelf),
                                    OnClicked(IDC_LAST_OF_RANGE, &Recorder::DestroyButton),
                                });
    return map;
  }
  void DoDataExchange(DataExchange& dx) override {
    DDX_Text(dx, IDC_TEXT, text);
    DDX_Text(dx, IDC_SIGNED, signed_value);
    DDX_Text(dx, IDC_UNSIGNED, unsigned_value);
    DDX_Text(dx, 999, missing);  // no such control: passed over
  }

  std::string text = "start";
  int32_t signed_value = -7;
  uint32_t unsigned_value = 4000000000u;
  std::string missing = "kept";

 protected:
  bool OnInitDialog() override {
    log_.push_back("init with " + std::to_string(children().size()) + " controls");
    return Dialog::OnInitDialog();
  }
  void OnDestroy() override {
    log_.push_back("destroy, controls left " + std::to_string(children().size()));
  }
  void PostNcDestroy() override { log_.push_back("gone"); }

 private:
  void Go() { log_.push_back("go"); }
  void DestroySelf() {
    DestroyWindow();
    log_.push_back(IsWindow() ? "still there" : "handler ran on");
  }
  void DestroyButton() { GetDlgItem(IDC_LAST_OF_RANGE)->DestroyWindow(); }

  Log& log_;
};

class DialogTest : public testing::FrameworkTest {
 protected:
  void SetUp() override { ASSERT_TRUE(dialog_.Create(nullptr)); }
  void Type(uint32_t id, const std::string& text) { dialog_.GetDlgItem(id)->SetWindowText(text); }

  Log log_;
  Recorder dialog_{log_};
};

// Captions, places in pixels, flags from the template and the keys' effects
// on a dialog without a default button are what the UI scripts show.
TEST_F(DialogTest, IsMadeOnceFromItsTemplateWithTheControlsThereBeforeItsInitialisation) {
  EXPECT_EQ(log_, Log{"init with 14 controls"});
  EXPECT_FALSE(dialog_.IsWindowVisible());  // no WS_VISIBLE in the template
  EXPECT_EQ(dialog_.GetDlgItem(IDC_TEXT)->GetFont(), ShellDialogFont());
  EXPECT_NE(dialog_.GetDlgItemAs<ComboBox>(IDC_CHOICE), nullptr);
  EXPECT_EQ(dialog_.GetDlgItemAs<ComboBox>(IDC_TEXT), nullptr);
  EXPECT_FALSE(dialog_.Create(nullptr));

  Dialog missing(4242);  // no such template
  EXPECT_FALSE(missing.Create(nullptr));
  EXPECT_FALSE(missing.IsWindow());
}

TEST_F(DialogTest, ReturnPressesTheDefaultButtonEscapeAndEndDialogEndTheDialog) {
  dialog_.ShowWindow(SW_SHOW);
  UserPressKey(*dialog_.GetDlgItem(IDC_SIGNED), VK_RETURN);
  EXPECT_EQ(log_.back(), "go");
  UserPressKey(dialog_, VK_SHIFT);  // any other key does nothing
  EXPECT_TRUE(dialog_.IsWindowVisible());
  UserPressKey(*dialog_.GetDlgItem(IDC_TEXT), VK_ESCAPE);  // the dialog sees it first
  EXPECT_FALSE(dialog_.IsWindowVisible());
  EXPECT_TRUE(dialog_.IsWindow());
  EXPECT_EQ(dialog_.result(), static_cast<int>(IDCANCEL));
  dialog_.ShowWindow(SW_SHOW);
  dialog_.EndDialog(5);
  EXPECT_FALSE(dialog_.IsWindowVisible());
  EXPECT_EQ(dialog_.result(), 5);
}

TEST_F(DialogTest, DestroyingTellsTheObjectAndItsHandlesButLeavesTheObject) {
  const WindowRef<Recorder> handle(&dialog_);
  const WindowRef<> edit(dialog_.GetDlgItem(IDC_TEXT));
  ASSERT_TRUE(handle && edit);
  EXPECT_TRUE(dialog_.DestroyWindow());
  EXPECT_FALSE(dialog_.IsWindow());
  EXPECT_FALSE(handle);
  EXPECT_FALSE(edit);
  EXPECT_TRUE(dialog_.children().empty());
  EXPECT_EQ(log_, (Log{"init with 14 controls", "destroy, controls left 14", "gone"}));
  EXPECT_EQ(dialog_.GetDlgItem(IDC_TEXT), nullptr);
  EXPECT_FALSE(dialog_.DestroyWindow());
  EXPECT_FALSE(dialog_.ShowWindow(SW_SHOW));  // an uncreated window does nothing
  EXPECT_FALSE(dialog_.IsWindowVisible());
  // The object can make its window again; an old handle stays empty.
  EXPECT_TRUE(dialog_.Create(nullptr));
  EXPECT_FALSE(handle);

  // A handler may destroy the control that called it, or its own window.
  dialog_.ShowWindow(SW_SHOW);
  const WindowRef<> button(dialog_.GetDlgItem(IDC_LAST_OF_RANGE));
  UserClick(*button.get());
  EXPECT_FALSE(button);
  EXPECT_EQ(dialog_.GetDlgItem(IDC_LAST_OF_RANGE), nullptr);
  UserClick(*dialog_.GetDlgItem(IDC_OUTSIDE_RANGE));
  EXPECT_FALSE(dialog_.IsWindow());
  EXPECT_EQ(log_.back(), "handler ran on");
}

TEST_F(DialogTest, AnOwnerTakesItsOwnedDialogsDownAndDeletesWhatItAdopted) {
  Dialog owner(IDD_SHOWN);
  ASSERT_TRUE(owner.Create(nullptr));
  auto owned = std::make_unique<Recorder>(log_);
  ASSERT_TRUE(owned->Create(&owner));
  EXPECT_EQ(owned->GetOwner(), &owner);
  EXPECT_EQ(owned->GetParent(), &owner);
  EXPECT_TRUE(owned->IsTopLevel());
  const WindowRef<> handle(owned.get());
  // An adopted dialog whose handler destroys its window is deleted when the
  // command ends; its owner stays.
  auto closing = std::make_unique<Recorder>(log_);
  ASSERT_TRUE(closing->Create(&owner));
  closing->ShowWindow(SW_SHOW);
  Window* button = closing->GetDlgItem(IDC_OUTSIDE_RANGE);
  owner.Adopt(std::move(closing));
  UserClick(*button);
  EXPECT_EQ(log_.back(), "deleted");
  EXPECT_TRUE(owner.IsWindow());
  auto adopted = std::make_unique<Recorder>(log_);
  ASSERT_TRUE(adopted->Create(&owner));
  owner.Adopt(std::move(adopted));

  owner.DestroyWindow();
  EXPECT_FALSE(handle);
  EXPECT_FALSE(owned->IsWindow());
  EXPECT_EQ(log_.back(), "gone");  // the adopted one is destroyed now, deleted later
  app_.Flush();
  EXPECT_EQ(log_.back(), "deleted");
  owned.reset();
  EXPECT_EQ(log_.back(), "deleted");
  EXPECT_EQ(std::count(log_.begin(), log_.end(), "deleted"), 3);
}

TEST_F(DialogTest, DataExchangeFillsTheControlsAndStopsAtTheFirstBadNumber) {
  EXPECT_EQ(dialog_.GetDlgItem(IDC_TEXT)->GetWindowText(), "start");
  EXPECT_EQ(dialog_.GetDlgItem(IDC_SIGNED)->GetWindowText(), "-7");
  EXPECT_EQ(dialog_.GetDlgItem(IDC_UNSIGNED)->GetWindowText(), "4000000000");

  Type(IDC_TEXT, "taken");
  Type(IDC_SIGNED, "twelve");
  Type(IDC_UNSIGNED, "5");
  EXPECT_FALSE(dialog_.UpdateData(true));
  EXPECT_EQ(dialog_.text, "taken");                // exchanged before the bad one
  EXPECT_EQ(dialog_.signed_value, -7);             // left as it was
  EXPECT_EQ(dialog_.unsigned_value, 4000000000u);  // not reached
  EXPECT_EQ(Boxes(), Log{"nuvhost: Please enter an integer."});

  Type(IDC_SIGNED, " 2147483647 ");
  Type(IDC_UNSIGNED, "-5");
  EXPECT_FALSE(dialog_.UpdateData(true));
  EXPECT_EQ(dialog_.signed_value, 2147483647);
  EXPECT_EQ(Boxes(), (Log{"nuvhost: Please enter an integer.",
                          "nuvhost: Please enter a positive integer."}));

  Type(IDC_UNSIGNED, "0");
  EXPECT_TRUE(dialog_.UpdateData(true));
  EXPECT_EQ(dialog_.unsigned_value, 0u);
  EXPECT_EQ(dialog_.missing, "kept");
  EXPECT_EQ(Boxes().size(), 2u);
}

TEST_F(DialogTest, TheSystemOpenDialogFillsThePathBufferOnlyWithAPathThatFits) {
  const char filter[] = "cfg files (*.cfg)\0*.cfg\0\0";
  OpenFileName ofn;
  ofn.filter = std::string_view(filter, sizeof filter);
  ofn.flags = OFN_EXPLORER;
  ofn.default_extension = "hex";
  backend_.QueueAnswer("sub/script");
  ASSERT_TRUE(GetOpenFileName(ofn));
  EXPECT_EQ(ofn.FileName(), "sub/script.hex");

  backend_.QueueAnswer(std::string(256, 'x'));  // 260 with ".hex": no room for the NUL
  EXPECT_FALSE(GetOpenFileName(ofn));
  EXPECT_EQ(ofn.FileName(), "sub/script.hex");
  EXPECT_EQ(ofn.needed, 261u);
  backend_.QueueAnswer(std::string(255, 'y'));  // 259 with ".hex": fits
  ASSERT_TRUE(GetOpenFileName(ofn));
  EXPECT_EQ(ofn.FileName(), std::string(255, 'y') + ".hex");
  EXPECT_EQ(ofn.file.back(), '\0');
  EXPECT_EQ(ofn.needed, 0u);
  backend_.QueueCancel();
  EXPECT_FALSE(GetOpenFileName(ofn));
  EXPECT_EQ(ofn.needed, 0u);
}

}  // namespace
}  // namespace nuv::fw
