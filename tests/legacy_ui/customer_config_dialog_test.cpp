// The Customer Config dialog: its controls made from the block list, the
// browse handlers, Generate and Back, and a dialog left over from an
// earlier parse.
#include <filesystem>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "dialog_fixture.h"
#include "framework/module.h"

extern const nuv::fw::ResourceTexts legacy_ui_test_resources;

namespace nuv::legacy::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Pair;

const fw::Module g_module("legacy ui tests", &legacy_ui_test_resources,
                          {&NuvSubDialog::kClass, &NuvNewButtonDialog::kClass});

// Three field blocks, three rows (a file block in the config area, a
// hardware-info block, a file block with an entry) and a block of an EM
// that makes nothing.
const std::string kScript =
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
  void SetUp() override { Load(DialogLayout(), kScript); }

  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
    return folder_.Write(name, bytes);
  }
  std::string Write(const std::string& name, const std::string& text) {
    return folder_.Write(name, text);
  }
  std::string Path(const std::string& name) const { return (folder_.path() / name).string(); }
  void Choose(uint32_t browse_id, const std::string& path) {
    Answer(path);
    Click(config(), browse_id);
  }
  bool Exists(uint32_t id) const { return Item(config(), id) != nullptr; }
};

TEST_F(ConfigDialogTest, ButtonsComeFirstThenARowPerFileOrHwInfoBlock) {
  NuvSubDialog& dialog = OpenConfig();
  EXPECT_TRUE(dialog.IsWindowVisible());
  EXPECT_EQ(dialog.GetWindowText(), "Customer Config");
  EXPECT_EQ(dialog.GetOwner(), &form());
  EXPECT_EQ(dialog.class_name(), "NuvSubDialog");

  const auto at = [&](uint32_t id) {
    const fw::Window& control = Control(&dialog, id);
    return std::make_pair(control.GetWindowText(), control.rect());
  };
  EXPECT_THAT(at(20000), Pair("Alpha", fw::Rect{150, 10, 400, 32}));
  EXPECT_THAT(at(20001), Pair("Beta", fw::Rect{150, 35, 400, 57}));
  EXPECT_THAT(at(20002), Pair("NoCrc", fw::Rect{150, 60, 400, 82}));
  EXPECT_THAT(at(20100), Pair("Logo", fw::Rect{40, 85, 140, 107}));
  EXPECT_THAT(at(20200), Pair("", fw::Rect{150, 85, 400, 107}));
  EXPECT_THAT(at(20300), Pair("....", fw::Rect{410, 85, 500, 107}));
  EXPECT_THAT(at(20101), Pair("Panel info", fw::Rect{40, 110, 140, 132}));
  EXPECT_THAT(at(20102), Pair("Kernel", fw::Rect{40, 135, 140, 157}));
  EXPECT_THAT(at(20302), Pair("....", fw::Rect{410, 135, 500, 157}));
  EXPECT_FALSE(Exists(20003));
  EXPECT_FALSE(Exists(20103));
  EXPECT_EQ(Control(&dialog, 20200).kind(), fw::WindowKind::Edit);
  EXPECT_NE(Control(&dialog, 20200).GetStyle() & fw::ES_READONLY, 0u);
  EXPECT_EQ(Control(&dialog, 20100).GetStyle() & (fw::SS_CENTER | fw::SS_SUNKEN),
            fw::SS_CENTER | fw::SS_SUNKEN);
  EXPECT_EQ(Control(&dialog, 20000).GetFont(), dialog.GetFont());

  // The EM 5 block is counted with the rows but has none.
  EXPECT_EQ(dialog.block_button_count(), 3u);
  EXPECT_EQ(dialog.row_count(), 4u);
  ASSERT_TRUE(dialog.row_paths().has_value());
  EXPECT_EQ(dialog.row_paths()->size(), 4u);
  std::vector<uint32_t> ids;
  for (const ScriptBlock& block : list_.blocks())
    ids.push_back(block.control_id);
  EXPECT_THAT(ids, ElementsAre(20000, 20001, 20200, 20201, kNoControl, 20002, 20202));
}

TEST_F(ConfigDialogTest, AScriptOfFileBlocksOnlyHasItsFirstRowAtTheTop) {
  Parse("ID=3\nEM=1\nname=Kernel\nID=0\nEM=1\nname=Logo\n");
  NuvSubDialog& dialog = OpenConfig();
  EXPECT_FALSE(Exists(20000));
  EXPECT_EQ(Control(&dialog, 20100).rect(), (fw::Rect{40, 10, 140, 32}));
  EXPECT_EQ(Control(&dialog, 20301).rect(), (fw::Rect{410, 35, 500, 57}));
}

TEST_F(ConfigDialogTest, TheBytePatchIsForExpertsOnly) {
  const std::vector<uint32_t> patch = {IDC_CFG_CAUTION, IDC_CFG_ADDRESS_LABEL, IDC_CFG_ADDRESS,
                                       IDC_CFG_BYTE_LABEL, IDC_CFG_BYTE};
  OpenConfig();
  for (const uint32_t id : patch)
    EXPECT_FALSE(Control(config(), id).IsWindowVisible()) << id;
  Click(config(), IDC_CFG_BACK);

  image_.expert = true;
  OpenConfig();
  for (const uint32_t id : patch)
    EXPECT_TRUE(Control(config(), id).IsWindowVisible()) << id;
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

TEST_F(ConfigDialogTest, ARowKeepsTheFileChosenLast) {
  OpenConfig();
  Choose(20301, "/first/hw.txt");
  Choose(20301, "/second/hw.txt");
  backend_->headless().QueueCancel();
  Click(config(), 20301);
  EXPECT_EQ(Control(config(), 20201).GetWindowText(), "/second/hw.txt");
  EXPECT_THAT(*config()->row_paths(), ElementsAre("", "/second/hw.txt", "", ""));
  // The standard open dialog: no owner, no filter, no default extension.
  const fw::FileDialogRequest& request = backend_->file_dialogs().front();
  EXPECT_TRUE(request.open);
  EXPECT_EQ(request.owner, nullptr);
  EXPECT_THAT(request.filter, IsEmpty());
  EXPECT_EQ(request.default_extension, "");
  EXPECT_EQ(request.flags, fw::OFN_HIDEREADONLY | fw::OFN_OVERWRITEPROMPT);
  EXPECT_THAT(TakeBoxes(), IsEmpty());
}

TEST_F(ConfigDialogTest, TheBrowseButtonsFillTheirPathsAndTestTheInputFiles) {
  OpenConfig();
  Choose(IDC_CFG_OUTPUT_BROWSE, Path("out.bin"));
  const std::string key = Write("key.pub", std::vector<uint8_t>(140, 1));
  Choose(IDC_CFG_KEY_BROWSE, key);
  // A folder is no file to read: the path stays, and Generate will tell.
  const std::string folder = Path("configs.bin");
  std::filesystem::create_directory(folder);
  Choose(IDC_CFG_CONFIG_BROWSE, folder);
  EXPECT_THAT(TakeBoxes(), ElementsAre("nuvhost: Failed to open selected file!"));
  EXPECT_EQ(Control(config(), IDC_CFG_OUTPUT_PATH).GetWindowText(), Path("out.bin"));
  EXPECT_EQ(Control(config(), IDC_CFG_KEY_PATH).GetWindowText(), key);
  EXPECT_EQ(Control(config(), IDC_CFG_CONFIG_PATH).GetWindowText(), folder);

  const auto& requests = backend_->file_dialogs();
  ASSERT_EQ(requests.size(), 3u);
  using Filter = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(requests[0].owner, config());
  EXPECT_EQ(requests[0].flags, fw::OFN_HIDEREADONLY | fw::OFN_OVERWRITEPROMPT);
  EXPECT_EQ(requests[0].default_extension, "");
  EXPECT_EQ(requests[0].filter,
            (Filter{{"bin files (*.bin)", "*.bin"}, {"All Files (*.*)", "*.*"}}));
  EXPECT_EQ(requests[1].owner, config());
  EXPECT_EQ(requests[1].flags, fw::OFN_EXPLORER);
  EXPECT_EQ(requests[1].default_extension, "hex");
  EXPECT_EQ(requests[1].filter,
            (Filter{{"pub files (*.pub)", "*.pub"}, {"All Files (*.*)", "*.*"}}));
  EXPECT_EQ(requests[2].filter,
            (Filter{{"bin files (*.bin)", "*.bin"}, {"All Files (*.*)", "*.*"}}));
  EXPECT_EQ(requests[2].default_extension, "hex");
}

TEST_F(ConfigDialogTest, GenerateWritesTheImageAndClosesTheDialog) {
  OpenConfig();
  Click(config(), IDC_CFG_GENERATE);
  EXPECT_THAT(TakeBoxes(), ElementsAre("error: Please select output file!"));
  // Nothing was started: the buttons stay.
  EXPECT_TRUE(Exists(20000));

  const std::vector<uint8_t> kernel(0x800, 0x5A);
  Choose(20302, Write("kernel.bin", kernel));
  Choose(IDC_CFG_OUTPUT_BROWSE, Path("out.bin"));
  Click(config(), IDC_CFG_GENERATE);
  EXPECT_THAT(TakeBoxes(), IsEmpty());
  EXPECT_EQ(config(), nullptr);
  EXPECT_EQ(image_.legacy_entries[0].size(), 0x800u);
  EXPECT_EQ(image_.legacy_entries[1].offset(), 0x10800u);
  EXPECT_EQ(Bytes(0x10000, 0x800), kernel);
  const std::vector<uint8_t> written = folder_.Read("out.bin");
  EXPECT_TRUE(
      std::equal(written.begin(), written.end(), image_.bytes().begin(), image_.bytes().end()));
}

TEST_F(ConfigDialogTest, AStoppedGenerateKeepsWhatItDidAndGivesTheNextOnlyTheRowsLeft) {
  OpenConfig();
  const std::string logo = Write("logo.bin", std::vector<uint8_t>(0x80, 0x77));
  Choose(20300, logo);
  Choose(20301, Path("missing.txt"));
  Choose(IDC_CFG_OUTPUT_BROWSE, Path("out.bin"));
  Click(config(), IDC_CFG_GENERATE);
  EXPECT_THAT(TakeBoxes(), ElementsAre("error: Failed to open the browsed file!\n File name = " +
                                       Path("missing.txt")));
  ASSERT_NE(config(), nullptr);
  EXPECT_TRUE(config()->IsWindowVisible());
  EXPECT_EQ(config()->tail_size(), 0x10000u);
  for (const uint32_t id : {20000u, 20001u, 20002u, 20100u, 20200u, 20300u})
    EXPECT_FALSE(Exists(id)) << id;
  for (const uint32_t id : {20101u, 20201u, 20301u, 20102u, 20202u, 20302u})
    EXPECT_TRUE(Exists(id)) << id;
  EXPECT_EQ(Bytes(0x100 + 512, 0x80), std::vector<uint8_t>(0x80, 0x77));
  EXPECT_FALSE(std::filesystem::exists(Path("out.bin")));

  // The logo's row is done: its file is not read again.
  std::filesystem::remove(logo);
  Write("missing.txt", "panel starts\n0x01,0x02,##\n");
  Click(config(), IDC_CFG_GENERATE);
  EXPECT_THAT(TakeBoxes(), IsEmpty());
  EXPECT_EQ(config(), nullptr);
  EXPECT_EQ(Bytes(0x12000, 4), (std::vector<uint8_t>{2, 0, 1, 2}));
  EXPECT_EQ(image_.legacy_entries[2].size(), 240u);
  EXPECT_TRUE(std::filesystem::exists(Path("out.bin")));
}

TEST_F(ConfigDialogTest, BackClosesTheDialogWithItsFieldEditDialog) {
  const std::vector<uint8_t> before = Bytes(0, image_.bytes().size());
  OpenConfig();
  Click(config(), 20000);
  ASSERT_NE(field(), nullptr);
  Type(field(), 31000, "2");
  Click(config(), IDC_CFG_BACK);
  EXPECT_EQ(config(), nullptr);
  EXPECT_EQ(field(), nullptr);
  EXPECT_EQ(Bytes(0, before.size()), before);
  EXPECT_THAT(TakeBoxes(), IsEmpty());
}

TEST_F(ConfigDialogTest, EscapeGoesBackAndReturnDoesNotClose) {
  image_.expert = true;
  OpenConfig();
  Key(config(), IDC_CFG_ADDRESS, fw::VK_RETURN);
  ASSERT_NE(config(), nullptr);
  EXPECT_TRUE(config()->IsWindowVisible());
  Key(config(), IDC_CFG_ADDRESS, fw::VK_ESCAPE);
  EXPECT_EQ(config(), nullptr);
}

TEST_F(ConfigDialogTest, ADialogOfAnEarlierParseTouchesNothing) {
  const std::string fields_only = "ID=0\nEM=0\nname=Alpha\nOFFSET=16\n##[Low][0][3][4]##\n";
  Parse(fields_only);
  OpenConfig();
  Click(config(), 20000);
  ASSERT_NE(field(), nullptr);
  Type(field(), 31000, "9");
  Choose(IDC_CFG_OUTPUT_BROWSE, Path("out.bin"));
  const std::vector<uint8_t> before = Bytes(0, image_.bytes().size());
  const std::vector<image::BlockEntry> entries = image_.legacy_entries;

  Parse(fields_only);  // Parse pressed again: the list is replaced
  // The field edit dialog refuses its OK and stays for Cancel.
  Click(field(), fw::IDOK);
  EXPECT_THAT(TakeBoxes(),
              ElementsAre("error: The script was parsed again: the fields of this dialog are no "
                          "longer written."));
  ASSERT_NE(field(), nullptr);
  Click(field(), fw::IDCANCEL);
  EXPECT_EQ(field(), nullptr);

  // Its buttons open nothing and its Generate is refused: it has no row
  // whose block could be out of date, its output path is set, and still
  // nothing may be written. The new blocks have not been given controls.
  Click(config(), 20000);
  EXPECT_EQ(field(), nullptr);
  Click(config(), IDC_CFG_GENERATE);
  EXPECT_THAT(TakeBoxes(), ElementsAre("error: The script was parsed again: this Customer Config "
                                       "dialog is out of date. Please use the new one."));
  EXPECT_FALSE(std::filesystem::exists(Path("out.bin")));
  EXPECT_EQ(Bytes(0, before.size()), before);
  EXPECT_EQ(image_.legacy_entries.size(), entries.size());
  for (const ScriptBlock& block : list_.blocks())
    EXPECT_EQ(block.control_id, kNoControl);

  // A dialog over the new list works as ever, next to the old one.
  NuvSubDialog* old = config();
  OpenConfig();
  Click(config(), 20000);
  ASSERT_NE(field(), nullptr);
  EXPECT_EQ(field()->GetWindowText(), "Alpha");
  EXPECT_TRUE(old->IsWindowVisible());
}

TEST_F(ConfigDialogTest, TheDialogsGoWithTheForm) {
  OpenConfig();
  Click(config(), 20001);
  ASSERT_NE(field(), nullptr);
  app_.DestroyPage();
  app_.Flush();
  EXPECT_EQ(config(), nullptr);
  EXPECT_EQ(field(), nullptr);
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

}  // namespace
}  // namespace nuv::legacy::testing
