#pragma once

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "framework/application.h"
#include "framework/combo_box.h"
#include "framework/constants.h"
#include "framework/user_input.h"
#include "framework/window_ref.h"
#include "legacy/customer_config_dialog.h"
#include "legacy/field_edit_dialog.h"
#include "legacy_fixtures.h"
#include "recording_backend.h"
#include "resource.h"

namespace nuv::legacy::testing {

inline constexpr uint32_t kNcrc = 0x4352434E;

// A 512 KiB image: the config area at 0x100, the block header at 0x1000,
// entries 3, 4, 5 and 6 (6 without a CRC) and the tail area from 0x70000.
inline LegacyLayout DialogLayout() {
  LegacyLayout layout;
  layout.size = 0x80000;
  layout.dmh_offset = 0x1000;
  layout.config_offset = 0x100;
  layout.config_length = 0x400;
  layout.entries = {Entry(3, 0x10000, 0x1000, 0x33333333), Entry(4, 0x11000, 0x100, 0x44444444),
                    Entry(5, 0x12000, 0xF0, 0x55555555), Entry(6, 0x13000, 0x100, kNcrc),
                    Entry(0xA, 0x70000, 0x10000, 0, 1)};
  return layout;
}

// A headless application whose page stands in for the main form: the test
// holds the image and the block list the form would hold, and opens the
// Customer Config dialog over them as the form does after a parse.
class DialogTest : public ::testing::Test {
 protected:
  DialogTest()
      : backend_(new plugin::test::RecordingBackend),
        app_("nuvhost", std::unique_ptr<fw::Backend>(backend_)) {
    app_.CreatePage();
  }

  fw::Window& form() { return *app_.page(); }

  // Loads an image laid out as `layout` and parses `script` for it into
  // the list; a new parse when called again.
  void Load(const LegacyLayout& layout, const std::string& script) {
    image_ = MakeImage(layout);
    Parse(script);
  }
  void Parse(const std::string& script) {
    RecordedMessages messages;
    bool ok = false;
    auto blocks = ParseText(script, image_.flash_size, messages, &ok);
    ASSERT_TRUE(ok) << ::testing::PrintToString(messages.texts());
    list_.Assign(std::move(blocks));
  }

  // The dialog the form opens after a successful parse.
  NuvSubDialog& OpenConfig() {
    auto dialog = std::make_unique<NuvSubDialog>(LegacyWorkspace(form(), image_, list_));
    NuvSubDialog& made = *dialog;
    EXPECT_TRUE(made.Create(IDD_CUSTOMER_CONFIG, &form()));
    form().Adopt(std::move(dialog));
    config_ = fw::WindowRef<NuvSubDialog>(&made);
    return made;
  }
  NuvSubDialog* config() const { return config_.get(); }
  NuvNewButtonDialog* field() const { return NuvNewButtonDialog::Current(); }

  static fw::Window* Item(const fw::Window* window, uint32_t id) {
    return window != nullptr ? window->GetDlgItem(id) : nullptr;
  }
  fw::Window& Control(const fw::Window* window, uint32_t id) {
    fw::Window* control = Item(window, id);
    if (control == nullptr)
      throw std::runtime_error("no control " + std::to_string(id));
    return *control;
  }
  void Click(const fw::Window* window, uint32_t id) {
    fw::UserClick(Control(window, id));
    app_.Flush();
  }
  void Type(const fw::Window* window, uint32_t id, const std::string& text) {
    fw::UserType(Control(window, id), text);
    app_.Flush();
  }
  void Pick(const fw::Window* window, uint32_t id, int index) {
    fw::UserPick(dynamic_cast<fw::ComboBox&>(Control(window, id)), index);
    app_.Flush();
  }
  void Key(const fw::Window* window, uint32_t id, uint32_t key) {
    fw::UserPressKey(Control(window, id), key);
    app_.Flush();
  }
  void Answer(const std::string& path) { backend_->headless().QueueAnswer(path); }

  // "caption: text" of every box shown since the last call.
  std::vector<std::string> TakeBoxes() {
    std::vector<std::string> boxes = backend_->Boxes();
    boxes.erase(boxes.begin(), boxes.begin() + static_cast<long>(boxes_seen_));
    boxes_seen_ += boxes.size();
    return boxes;
  }

  std::vector<uint8_t> Bytes(size_t at, size_t count) const {
    const auto bytes = image_.bytes().subspan(at, count);
    return {bytes.begin(), bytes.end()};
  }
  void SetBytes(size_t at, const std::vector<uint8_t>& values) {
    std::copy(values.begin(), values.end(), image_.mutable_bytes().begin() + static_cast<long>(at));
  }

  // Declared before the application, so they outlive every window.
  image::FlashImage image_;
  LegacyBlockList list_;
  TempFolder folder_;
  plugin::test::RecordingBackend* backend_;  // owned by app_
  fw::Application app_;
  fw::WindowRef<NuvSubDialog> config_;
  size_t boxes_seen_ = 0;
};

}  // namespace nuv::legacy::testing
