// The Customer Config and field edit dialogs where the UI scripts
// (tests/ui/legacy_*.nuv) cannot look: their controls' styles and the
// blocks' and fields' control ids, layouts the sample script does not have,
// the file dialogs asked for, the keys that close a dialog or not, tips'
// colours, and a dialog made without a form (a dialog left over from an
// earlier parse is legacy_failures.nuv's). The "form" is a headless
// application's page, which holds the image and the block list as the main
// form does.
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "framework/application.h"
#include "framework/constants.h"
#include "framework/module.h"
#include "framework/user_input.h"
#include "framework/window_ref.h"
#include "legacy/customer_config_dialog.h"
#include "legacy/field_edit_dialog.h"
#include "legacy_fixtures.h"
#include "recording_backend.h"
#include "resource.h"

extern const nuv::fw::DialogTemplates legacy_ui_test_templates;

namespace nuv::legacy::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const fw::Module g_module("legacy ui tests", legacy_ui_test_templates,
                          {&NuvSubDialog::kClass, &NuvNewButtonDialog::kClass});

// A headless application whose page stands in for the main form: the test
// holds the image and the block list the form would hold, and opens the
// Customer Config dialog over them as the form does after a parse.
class DialogTest : public ::testing::Test {
 protected:
  DialogTest()
      : backend_(new plugin::test::RecordingBackend),
        app_("nuvhost", std::unique_ptr<fw::Backend>(backend_)) {
    app_.CreatePage();
    // 512 KiB: the config area at 0x100, the block header at 0x1000,
    // entries 3 to 6 and the tail area from 0x70000.
    LegacyLayout layout;
    layout.dmh_offset = 0x1000;
    layout.config_offset = 0x100;
    layout.entries = {Entry(3, 0x10000, 0x1000), Entry(4, 0x11000, 0x100), Entry(5, 0x12000, 0xF0),
                      Entry(6, 0x13000, 0x100), Entry(0xA, 0x70000, 0x10000, 0, 1)};
    image_ = MakeImage(layout);
  }

  fw::Window& form() { return *app_.page(); }

  // Parses `script` for the image into the list; a new parse when called
  // again.
  void Parse(const std::string& script) {
    RecordedMessages messages;
    auto blocks = ParseText(script, image_.flash_size, messages);
    ASSERT_TRUE(blocks) << ::testing::PrintToString(messages.texts());
    list_.Assign(std::move(*blocks));
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

  std::vector<uint8_t> Image() const { return {image_.bytes().begin(), image_.bytes().end()}; }

  // Declared before the application, so they outlive every window.
  image::FlashImage image_;
  LegacyBlockList list_;
  TempFolder folder_;
  plugin::test::RecordingBackend* backend_;  // owned by app_
  fw::Application app_;
  fw::WindowRef<NuvSubDialog> config_;
  size_t boxes_seen_ = 0;
};

// Three field blocks, three rows (a file block in the config area, a
// hardware-info block, a file block with an entry) and a block of an EM
// that makes nothing.
const std::string kConfigScript =
    "FLASH=524288\n"
    "ID=0\nEM=0\nname=Alpha\nOFFSET=16\n##[Low][0][3][4]##\n"
    "ID=4\nEM=3\nname=Beta\n##[Level][0][0][8][Level of the\\nbox]##\n"
    "ID=0\nEM=1\nname=Logo\nOFFSET=512\n"
    "ID=5\nEM=2\nname=Panel info\n"
    "ID=7\nEM=5\nname=Odd\n"
    "ID=6\nEM=0\nname=NoCrc\n##[Flag][0][0][1]##\n"
    "ID=3\nEM=1\nname=Kernel\n";

class ConfigDialogTest : public DialogTest {
 protected:
  void SetUp() override { Parse(kConfigScript); }
  bool Exists(uint32_t id) const { return Item(config(), id) != nullptr; }
};

TEST_F(ConfigDialogTest, ButtonsForFieldBlocksThenARowPerFileOrHwInfoBlock) {
  NuvSubDialog& dialog = OpenConfig();
  EXPECT_EQ(dialog.GetOwner(), &form());
  std::vector<uint32_t> ids;
  for (const ScriptBlock& block : list_.blocks())
    ids.push_back(block.control_id);
  EXPECT_THAT(ids, ElementsAre(20000, 20001, 20200, 20201, kNoControl, 20002, 20202));
  EXPECT_FALSE(Exists(20003));
  EXPECT_FALSE(Exists(20103));
  // The EM 5 block is counted with the rows but has none.
  EXPECT_EQ(dialog.block_button_count(), 3u);
  EXPECT_EQ(dialog.row_count(), 4u);
  ASSERT_TRUE(dialog.row_paths().has_value());
  EXPECT_EQ(dialog.row_paths()->size(), 4u);

  EXPECT_NE(Control(&dialog, 20200).GetStyle() & fw::ES_READONLY, 0u);
  EXPECT_EQ(Control(&dialog, 20100).GetStyle() & (fw::SS_CENTER | fw::SS_SUNKEN),
            fw::SS_CENTER | fw::SS_SUNKEN);
  EXPECT_EQ(Control(&dialog, 20000).GetFont(), dialog.GetFont());
}

TEST_F(ConfigDialogTest, AScriptOfFileBlocksOnlyHasItsFirstRowAtTheTop) {
  Parse("ID=3\nEM=1\nname=Kernel\nID=0\nEM=1\nname=Logo\n");
  NuvSubDialog& dialog = OpenConfig();
  EXPECT_FALSE(Exists(20000));
  EXPECT_EQ(Control(&dialog, 20100).rect(), (fw::Rect{40, 10, 140, 32}));
  EXPECT_EQ(Control(&dialog, 20301).rect(), (fw::Rect{410, 35, 500, 57}));
}

TEST_F(ConfigDialogTest, Only31BlockButtonsAnswerAClick) {
  std::string script;
  for (int i = 0; i < 32; ++i)
    script += "ID=0\nEM=0\nname=B" + std::to_string(i) + "\nOFFSET=" + std::to_string(i) +
              "\n##[F][0][0][8]##\n";
  Parse(script);
  OpenConfig();
  ASSERT_TRUE(Exists(20031));
  EXPECT_EQ(Control(config(), 20031).rect(), (fw::Rect{150, 32 + 25 * 31 - 22, 400, 32 + 25 * 31}));
  Click(config(), 20031);
  EXPECT_EQ(field(), nullptr);
  Click(config(), 20030);
  ASSERT_NE(field(), nullptr);
  EXPECT_EQ(field()->GetWindowText(), "B30");
}

TEST_F(ConfigDialogTest, TheBrowseButtonsAskForTheirFilesAndTestTheInputFiles) {
  OpenConfig();
  const std::string out = (folder_.path() / "out.bin").string();
  Answer(out);
  Click(config(), IDC_CFG_OUTPUT_BROWSE);
  Answer(folder_.Write("key.pub", std::vector<uint8_t>(140, 1)));
  Click(config(), IDC_CFG_KEY_BROWSE);
  // A folder is no file to read: the path stays, and Generate will tell.
  const std::string folder = (folder_.path() / "configs.bin").string();
  std::filesystem::create_directory(folder);
  Answer(folder);
  Click(config(), IDC_CFG_CONFIG_BROWSE);
  EXPECT_THAT(TakeBoxes(), ElementsAre("nuvhost: Failed to open selected file!"));
  EXPECT_EQ(Control(config(), IDC_CFG_OUTPUT_PATH).GetWindowText(), out);
  EXPECT_EQ(Control(config(), IDC_CFG_CONFIG_PATH).GetWindowText(), folder);
  Answer("/rows/hw.txt");
  Click(config(), 20301);

  using Filter = std::vector<std::pair<std::string, std::string>>;
  const Filter bin{{"bin files (*.bin)", "*.bin"}, {"All Files (*.*)", "*.*"}};
  const struct Request {
    const fw::Window* owner;
    uint32_t flags;
    std::string extension;
    Filter filter;
  } expected[] = {
      {config(), fw::OFN_HIDEREADONLY | fw::OFN_OVERWRITEPROMPT, "", bin},
      {config(),
       fw::OFN_EXPLORER,
       "hex",
       {{"pub files (*.pub)", "*.pub"}, {"All Files (*.*)", "*.*"}}},
      {config(), fw::OFN_EXPLORER, "hex", bin},
      // A row's: the standard open dialog, without owner or filter.
      {nullptr, fw::OFN_HIDEREADONLY | fw::OFN_OVERWRITEPROMPT, "", {}},
  };
  const auto& requests = backend_->file_dialogs();
  ASSERT_EQ(requests.size(), std::size(expected));
  for (size_t i = 0; i < requests.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_TRUE(requests[i].open);
    EXPECT_EQ(requests[i].owner, expected[i].owner);
    EXPECT_EQ(requests[i].flags, expected[i].flags);
    EXPECT_EQ(requests[i].default_extension, expected[i].extension);
    EXPECT_EQ(requests[i].filter, expected[i].filter);
  }
}

TEST_F(ConfigDialogTest, ADialogMadeByNameWithoutAFormMakesNoControls) {
  std::unique_ptr<fw::Window> object = fw::ModuleRegistry::CreateObject("NuvSubDialog");
  auto* dialog = dynamic_cast<NuvSubDialog*>(object.get());
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(dialog->Create(IDD_CUSTOMER_CONFIG, &form()));
  EXPECT_EQ(dialog->GetDlgItem(20000), nullptr);
  EXPECT_EQ(dialog->row_count(), 0u);
  fw::UserClick(Control(dialog, IDC_CFG_GENERATE));
  app_.Flush();
  EXPECT_THAT(TakeBoxes(), IsEmpty());
  EXPECT_TRUE(dialog->DestroyWindow());
}

// Fields of a block in the config area, a described block, and a block
// without an entry.
const std::string kFieldScript =
    "ID=0\nEM=0\nname=Alpha\nOFFSET=16\n"
    "##[Low][0][3][4] [Top][0][7][1] [Word][0][16][16] [Mode][2][32][4][0][15][5];\n"
    "[Name][1][40][64] [Wide][0][110][4]##\n"
    "ID=4\nEM=3\nname=Beta\n"
    "##[Level][0][0][8][Level of the\\nbox] [Pick][2][8][8][1][3][1][Choose one]##\n"
    "ID=9\nEM=0\nname=Nowhere\n##[X][0][0][8]##\n";

class FieldDialogTest : public DialogTest {
 protected:
  void SetUp() override {
    Parse(kFieldScript);
    before_ = Image();
    image_.expert = true;  // the patch's address edit shown
    OpenConfig();
  }
  // Clicks the block button of block `k` (in button order).
  void Edit(uint32_t k) { Click(config(), NuvSubDialog::kFirstBlockButton + k); }
  uint32_t Style(uint32_t id) { return Control(field(), id).GetStyle(); }

  std::vector<uint8_t> before_;
};

// Each input's tip, its text and its place are legacy_fields.nuv's; here
// the layout, the styles and the tip's colour the transcript cannot show. A
// block without an entry is refused at its button, and the dialog that was
// open stays as it was.
TEST_F(FieldDialogTest, FieldsStandFourToALineTipsAreADescribedBlocksAndABlockNeedsAnEntry) {
  Edit(0);
  ASSERT_NE(field(), nullptr);
  EXPECT_EQ(field()->GetOwner(), config());
  EXPECT_EQ(Control(field(), 30004).rect(), (fw::Rect{10, 35, 100, 55}));
  EXPECT_EQ(Control(field(), 31004).rect(), (fw::Rect{115, 35, 227, 55}));
  EXPECT_EQ(Style(31000) & (fw::ES_AUTOHSCROLL | fw::ES_WANTRETURN),
            fw::ES_AUTOHSCROLL | fw::ES_WANTRETURN);
  EXPECT_EQ(Control(field(), 31000).GetExStyle() & fw::WS_EX_CLIENTEDGE, fw::WS_EX_CLIENTEDGE);
  EXPECT_EQ(Style(31003) & fw::CBS_DROPDOWNLIST, fw::CBS_DROPDOWNLIST);
  EXPECT_EQ(Style(30000) & fw::SS_SUNKEN, fw::SS_SUNKEN);
  std::vector<uint32_t> ids;
  for (const ScriptField& f : list_.blocks()[0].fields)
    ids.push_back(f.control_id);
  EXPECT_THAT(ids, ElementsAre(31000, 31001, 31002, 31003, 31004, 31005));
  EXPECT_FALSE(field()->tip().IsWindow());

  Edit(2);
  EXPECT_THAT(TakeBoxes(), ElementsAre("error: Error block_id! No match block found!"));
  ASSERT_NE(field(), nullptr);
  EXPECT_EQ(field()->GetWindowText(), "Alpha");

  Edit(1);
  const BalloonTip& tip = field()->tip();
  ASSERT_TRUE(tip.IsWindow());
  EXPECT_EQ(tip.GetOwner(), field());
  EXPECT_EQ(tip.max_width(), 200);
  EXPECT_EQ(tip.background_colour(), fw::RGB(187, 247, 172));
  EXPECT_EQ(tip.tools().size(), 2u);
}

// Return in the field dialog's edit is no OK, in its list it is; the
// Customer Config dialog it never closes.
TEST_F(FieldDialogTest, ReturnClosesOnlyTheFieldDialogAndNotFromAnEdit) {
  Edit(0);
  Type(field(), 31000, "3");
  Key(field(), 31000, fw::VK_RETURN);
  ASSERT_NE(field(), nullptr);
  EXPECT_TRUE(Image() == before_);
  Key(field(), 31003, fw::VK_RETURN);
  EXPECT_EQ(field(), nullptr);
  EXPECT_EQ(image_.bytes()[0x110], (before_[0x110] & 0x87) | 3 << 3);  // Low, bits 3 to 6
  Key(config(), IDC_CFG_ADDRESS, fw::VK_RETURN);
  ASSERT_NE(config(), nullptr);
  EXPECT_TRUE(config()->IsWindowVisible());
}

}  // namespace
}  // namespace nuv::legacy::testing
