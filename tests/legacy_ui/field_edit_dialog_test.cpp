// The field edit dialog: its grid of inputs filled from the image, OK
// writing only the fields' bits and the entry's CRC, Cancel, the set-up
// that stops at a field it cannot show, the tips of described blocks, and
// the one dialog at a time.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "dialog_fixture.h"
#include "image/crc32.h"

namespace nuv::legacy::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::string kScript =
    "ID=0\nEM=0\nname=Alpha\nOFFSET=16\n"
    "##[Low][0][3][4] [Top][0][7][1] [Word][0][16][16] [Mode][2][32][4][0][15][5];\n"
    "[Name][1][40][64] [Wide][0][110][4]##\n"
    "ID=4\nEM=3\nname=Beta\n"
    "##[Level][0][0][8][Level of the\\nbox] [Pick][2][8][8][1][3][1][Choose one]##\n"
    "ID=6\nEM=0\nname=NoCrc\n##[Flag][0][0][1]##\n"
    "ID=0\nEM=0\nname=Long\nOFFSET=64\n##[A][0][0][8] [T][1][8][328] [B][0][400][8]##\n"
    "ID=0\nEM=0\nname=Far\nOFFSET=128\n##[In][0][0][8] [Out][0][4194304][8] [After][0][8][8]##\n"
    "ID=9\nEM=0\nname=Nowhere\n##[X][0][0][8]##\n";

// Alpha's fields lie from 0x110 (config area 0x100 + 16).
constexpr size_t kAlpha = 0x110;
const std::vector<uint8_t> kAlphaBytes = {0xFF, 0x00, 0x34, 0x12, 0xA7, 'A',  'B', 'C',
                                          'D',  'E',  'F',  'G',  'H',  0x00, 0x00};

class FieldDialogTest : public DialogTest {
 protected:
  void SetUp() override {
    Load(DialogLayout(), kScript);
    SetBytes(kAlpha, kAlphaBytes);
    before_ = Bytes(0, image_.bytes().size());
    OpenConfig();
  }

  // Clicks the block button of block `k` (in button order).
  void Edit(uint32_t k) { Click(config(), NuvSubDialog::kFirstBlockButton + k); }
  std::string Text(uint32_t id) { return Control(field(), id).GetWindowText(); }
  fw::ComboBox& Combo(uint32_t id) { return dynamic_cast<fw::ComboBox&>(Control(field(), id)); }
  // Whether the image differs from what it was only inside [from, to).
  bool UnchangedOutside(size_t from, size_t to) const {
    const auto now = image_.bytes();
    for (size_t i = 0; i < now.size(); ++i)
      if ((i < from || i >= to) && now[i] != before_[i])
        return false;
    return true;
  }

  std::vector<uint8_t> before_;
};

TEST_F(FieldDialogTest, FieldsStandFourToALineWithWhatTheImageHolds) {
  Edit(0);
  NuvNewButtonDialog* dialog = field();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->GetWindowText(), "Alpha");
  EXPECT_EQ(dialog->GetOwner(), config());
  EXPECT_TRUE(dialog->IsWindowVisible());
  EXPECT_EQ(dialog->class_name(), "NuvNewButtonDialog");

  EXPECT_EQ(Text(30000), "Low");
  EXPECT_EQ(Control(dialog, 30000).rect(), (fw::Rect{10, 10, 100, 30}));
  EXPECT_EQ(Control(dialog, 31000).rect(), (fw::Rect{115, 10, 227, 30}));
  EXPECT_EQ(Control(dialog, 30003).rect(), (fw::Rect{670, 10, 760, 30}));
  EXPECT_EQ(Control(dialog, 31003).rect(), (fw::Rect{775, 10, 887, 30}));
  EXPECT_EQ(Control(dialog, 30004).rect(), (fw::Rect{10, 35, 100, 55}));
  EXPECT_EQ(Control(dialog, 31004).rect(), (fw::Rect{115, 35, 227, 55}));

  // Bits 3 to 6 of 0xFF, bit 7, a byte-aligned 16-bit word, text bytes up
  // to the first zero, and bits shared by two bytes.
  EXPECT_EQ(Text(31000), "15");
  EXPECT_EQ(Text(31001), "1");
  EXPECT_EQ(Text(31002), "4660");
  EXPECT_EQ(Text(31004), "ABCDEFGH");
  EXPECT_EQ(Text(31005), "0");
  // The image holds 7, which the list does not offer: the first item.
  EXPECT_THAT(Combo(31003).items(), ElementsAre("0", "5", "10", "15"));
  EXPECT_EQ(Combo(31003).GetCurSel(), 0);

  EXPECT_EQ(Control(dialog, 31000).kind(), fw::WindowKind::Edit);
  EXPECT_EQ(Control(dialog, 31000).GetStyle() & (fw::ES_AUTOHSCROLL | fw::ES_WANTRETURN),
            fw::ES_AUTOHSCROLL | fw::ES_WANTRETURN);
  EXPECT_EQ(Control(dialog, 31000).GetExStyle() & fw::WS_EX_CLIENTEDGE, fw::WS_EX_CLIENTEDGE);
  EXPECT_EQ(Control(dialog, 31003).GetStyle() & fw::CBS_DROPDOWNLIST, fw::CBS_DROPDOWNLIST);
  EXPECT_EQ(Control(dialog, 30000).GetStyle() & fw::SS_SUNKEN, fw::SS_SUNKEN);
  std::vector<uint32_t> ids;
  for (const ScriptField& f : list_.blocks()[0].fields)
    ids.push_back(f.control_id);
  EXPECT_THAT(ids, ElementsAre(31000, 31001, 31002, 31003, 31004, 31005));
  EXPECT_FALSE(dialog->tip().IsWindow());
  EXPECT_THAT(TakeBoxes(), IsEmpty());
}

TEST_F(FieldDialogTest, OkWritesOnlyTheFieldsBits) {
  Edit(0);
  Type(field(), 31000, "9");
  Pick(field(), 31003, 2);
  Type(field(), 31004, "ABC");
  Type(field(), 31005, "15");
  Click(field(), fw::IDOK);
  EXPECT_EQ(field(), nullptr);
  // Low keeps Top's bit 7; Mode keeps the byte's high half; the text is
  // the typed letters and a zero over what was read; Wide spans two bytes.
  EXPECT_EQ(Bytes(kAlpha, kAlphaBytes.size()),
            (std::vector<uint8_t>{0xCF, 0x00, 0x34, 0x12, 0xAA, 'A', 'B', 'C', 0, 'E', 'F', 'G',
                                  'H', 0xC0, 0x03}));
  EXPECT_TRUE(UnchangedOutside(kAlpha, kAlpha + kAlphaBytes.size()));
  EXPECT_EQ(list_.blocks()[0].fields[3].value, 10u);
  // A block in the config area belongs to no entry: no CRC changes.
  for (size_t i = 0; i < image_.legacy_entries.size(); ++i)
    EXPECT_EQ(image_.legacy_entries[i].crc(), DialogLayout().entries[i].crc());

  // A number edit that holds no number writes 0; nine letters keep seven.
  Edit(0);
  EXPECT_EQ(Text(31000), "9");
  EXPECT_EQ(Combo(31003).GetCurSel(), 2);
  Type(field(), 31000, "x1");
  Type(field(), 31004, "123456789");
  Click(field(), fw::IDOK);
  EXPECT_EQ(Bytes(kAlpha, 1), std::vector<uint8_t>{0x87});
  EXPECT_EQ(Bytes(kAlpha + 5, 8), (std::vector<uint8_t>{'1', '2', '3', '4', '5', '6', '7', 0}));
  EXPECT_THAT(TakeBoxes(), IsEmpty());
}

TEST_F(FieldDialogTest, OkRecomputesTheEntryCrcUnlessItIsNcrc) {
  Edit(1);
  Type(field(), 31000, "66");
  Pick(field(), 31001, 2);
  Click(field(), fw::IDOK);
  EXPECT_EQ(Bytes(0x11000, 2), (std::vector<uint8_t>{66, 3}));
  const image::BlockEntry& beta = image_.legacy_entries[1];
  EXPECT_EQ(beta.crc(), image::UpdateCrc(image_.crc_table, image::kCrcStart,
                                         image_.bytes().subspan(0x11000, 0x100)));
  EXPECT_NE(beta.crc(), 0x44444444u);

  Edit(2);
  EXPECT_EQ(Text(31000), std::to_string(before_[0x13000] & 1));
  Type(field(), 31000, std::to_string((before_[0x13000] & 1) ^ 1));
  Click(field(), fw::IDOK);
  EXPECT_EQ(Bytes(0x13000, 1), std::vector<uint8_t>{static_cast<uint8_t>(before_[0x13000] ^ 1)});
  EXPECT_EQ(image_.legacy_entries[3].crc(), kNcrc);
}

TEST_F(FieldDialogTest, CancelAndEscapeDiscardTheEditsAndReturnInAnEditIsNoOk) {
  Edit(0);
  Type(field(), 31000, "3");
  Click(field(), fw::IDCANCEL);
  EXPECT_EQ(field(), nullptr);
  Edit(0);
  Type(field(), 31000, "3");
  Key(field(), 31000, fw::VK_ESCAPE);
  EXPECT_EQ(field(), nullptr);
  EXPECT_TRUE(UnchangedOutside(0, 0));

  Edit(0);
  Type(field(), 31000, "3");
  Key(field(), 31000, fw::VK_RETURN);
  ASSERT_NE(field(), nullptr);
  EXPECT_TRUE(UnchangedOutside(0, 0));
  // Return elsewhere is the default button's: OK.
  Key(field(), 31003, fw::VK_RETURN);
  EXPECT_EQ(field(), nullptr);
  EXPECT_EQ(Bytes(kAlpha, 1), std::vector<uint8_t>{0x9F});
}

TEST_F(FieldDialogTest, ATextFieldOver40BytesStopsTheSetUpAndOkKeepsTheRest) {
  Edit(3);
  EXPECT_THAT(TakeBoxes(), ElementsAre("error: String too long!"));
  ASSERT_NE(field(), nullptr);
  EXPECT_TRUE(field()->IsWindowVisible());
  EXPECT_EQ(Text(30001), "T");
  EXPECT_EQ(Text(31001), "");
  EXPECT_EQ(Item(field(), 30002), nullptr);
  EXPECT_EQ(Item(field(), 31002), nullptr);
  Type(field(), 31000, "5");
  Type(field(), 31001, "typed into a field that is not written");
  Click(field(), fw::IDOK);
  EXPECT_EQ(field(), nullptr);
  EXPECT_EQ(Bytes(0x140, 1), std::vector<uint8_t>{5});
  EXPECT_TRUE(UnchangedOutside(0x140, 0x141));
  EXPECT_THAT(TakeBoxes(), IsEmpty());
}

TEST_F(FieldDialogTest, FieldsOutsideTheImageAndBlocksWithoutAnEntryAreRefused) {
  Edit(4);
  EXPECT_THAT(TakeBoxes(),
              ElementsAre("error: Field data error! The field Out lies outside the flash image."));
  EXPECT_EQ(Text(31000), std::to_string(before_[0x180]));
  EXPECT_EQ(Text(31001), "");
  EXPECT_EQ(Item(field(), 30002), nullptr);
  Type(field(), 31000, "200");
  Click(field(), fw::IDOK);
  EXPECT_EQ(field(), nullptr);
  EXPECT_EQ(Bytes(0x180, 1), std::vector<uint8_t>{200});
  EXPECT_TRUE(UnchangedOutside(0x180, 0x181));

  // Block id 9 has no entry: no field can be placed, and OK says so again.
  Edit(5);
  EXPECT_THAT(TakeBoxes(), ElementsAre("error: Error block_id! No match block found!"));
  ASSERT_NE(field(), nullptr);
  EXPECT_EQ(Item(field(), 30000), nullptr);
  Click(field(), fw::IDOK);
  EXPECT_THAT(TakeBoxes(), ElementsAre("error: Error block_id! No match block found!"));
  ASSERT_NE(field(), nullptr);
  Click(field(), fw::IDCANCEL);
  EXPECT_EQ(field(), nullptr);
  EXPECT_TRUE(UnchangedOutside(0x180, 0x181));
}

TEST_F(FieldDialogTest, ADescribedBlockGivesEachInputItsDescriptionAsATip) {
  Edit(1);
  const BalloonTip& tip = field()->tip();
  ASSERT_TRUE(tip.IsWindow());
  EXPECT_EQ(tip.GetOwner(), field());
  EXPECT_TRUE(tip.active());
  EXPECT_EQ(tip.max_width(), 200);
  EXPECT_EQ(tip.background_colour(), fw::RGB(187, 247, 172));
  ASSERT_EQ(tip.tools().size(), 2u);
  EXPECT_EQ(tip.tools()[0].text, "Level of the\nbox");
  EXPECT_EQ(tip.tools()[0].control.get(), Item(field(), 31000));
  EXPECT_EQ(tip.tools()[1].text, "Choose one");
  EXPECT_EQ(tip.tools()[1].control.get(), Item(field(), 31001));
  EXPECT_THAT(Combo(31001).items(), ElementsAre("1", "2", "3"));
}

TEST_F(FieldDialogTest, ThereIsOneFieldEditDialogAndItEditsTheBlockClickedLast) {
  const auto count = [&] {
    int n = 0;
    for (const fw::Window* window : app_.TopLevelWindows())
      n += window->class_name() == "NuvNewButtonDialog" ? 1 : 0;
    return n;
  };
  Edit(0);
  const uint64_t first = field()->serial();
  Type(field(), 31000, "3");
  Edit(0);
  EXPECT_EQ(field()->serial(), first);
  EXPECT_EQ(Text(31000), "3");
  EXPECT_EQ(count(), 1);

  Edit(1);
  ASSERT_NE(field(), nullptr);
  EXPECT_NE(field()->serial(), first);
  EXPECT_EQ(field()->GetWindowText(), "Beta");
  EXPECT_EQ(field()->block(), list_.Handle(1));
  EXPECT_EQ(count(), 1);
  // The first one's edit was discarded.
  EXPECT_TRUE(UnchangedOutside(0, 0));
}

}  // namespace
}  // namespace nuv::legacy::testing
