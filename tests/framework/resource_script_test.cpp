#include "framework/resource_script.h"

#include <gtest/gtest.h>

#include <string>

#include "framework/constants.h"
#include "framework/dialog_units.h"
#include "framework/resource_texts.h"

extern const nuv::fw::ResourceTexts nuv_resources;

namespace nuv::fw {
namespace {

// A row of a dialog table: what a person reads off the tool's layout.
struct Row {
  uint32_t id;
  WindowKind kind;
  const char* caption;
  int x, y, cx, cy;
  bool visible;
};

constexpr WindowKind kGroup = WindowKind::GroupBox;
constexpr WindowKind kStatic = WindowKind::Static;
constexpr WindowKind kEdit = WindowKind::Edit;
constexpr WindowKind kButton = WindowKind::Button;
constexpr WindowKind kCheck = WindowKind::CheckBox;
constexpr WindowKind kCombo = WindowKind::ComboBox;

const Row kCustomerConfig[] = {
    {2055, kStatic, "Caution: Don't Edit Unless You Mean It!", 15, 211, 129, 14, true},
    {2051, kStatic, "Flash Address: 0x", 150, 211, 60, 14, true},
    {2052, kEdit, "", 209, 212, 48, 14, true},
    {2053, kStatic, "BYTE Value: 0x", 265, 211, 49, 14, true},
    {2054, kEdit, "", 316, 212, 48, 14, true},
    {2056, kStatic, "Import ABS Key (If have)", 15, 232, 85, 14, true},
    {2004, kEdit, "", 100, 233, 268, 14, true},
    {2005, kButton, "Browse", 375, 233, 50, 14, true},
    {2050, kStatic, "Import Configs (If need)", 16, 254, 78, 14, true},
    {2002, kEdit, "", 100, 255, 268, 14, true},
    {2003, kButton, "Browse", 376, 255, 50, 14, true},
    {2047, kStatic, "Output Flash Binary To:", 15, 275, 77, 14, true},
    {2000, kEdit, "", 100, 275, 268, 14, true},
    {2001, kButton, "Browse", 376, 275, 50, 14, true},
    {2045, kButton, "Generate", 92, 306, 50, 14, true},
    {2046, kButton, "Back", 277, 306, 50, 14, true},
};

const Row kFieldEdit[] = {
    {1, kButton, "OK", 169, 319, 50, 14, true},
    {2, kButton, "Cancel", 331, 319, 50, 14, true},
};

// The New Format dialog's table gives no positions: only what, in order.
struct Entry {
  uint32_t id;
  WindowKind kind;
  const char* caption;
  bool visible;
};

const Entry kNewFormat[] = {
    {2062, kGroup, "Save New Flash", true},
    {2055, kStatic, "Output Flash File:", true},
    {2000, kEdit, "", true},
    {2056, kButton, "Browse", true},
    {2001, kButton, "Save", true},
    {2, kButton, "Back", true},
    {2061, kGroup, "Block Save", false},
    {2065, kStatic, "Select A Block:", false},
    {2060, kCombo, "", false},
    {2063, kStatic, "ID:", false},
    {2064, kEdit, "", false},
    {2066, kStatic, "Save Block Bin:", false},
    {2058, kEdit, "", false},
    {2057, kButton, "Browse", false},
    {2059, kButton, "Save", false},
    {2073, kGroup, "Block Load", false},
    {2072, kStatic, "Select A Block:", false},
    {2071, kCombo, "", false},
    {2074, kStatic, "ID:", false},
    {2075, kEdit, "", false},
    {2068, kStatic, "Load Block Bin:", false},
    {2069, kEdit, "", false},
    {2067, kButton, "Browse", false},
    {2070, kButton, "Save", false},
};

class NuvResourceScript : public ::testing::Test {
 protected:
  void SetUp() override {
    script_ =
        LoadResourceScript(nuv_resources.script, nuv_resources.header, "nuv.rc", "resource.h");
    ASSERT_TRUE(script_.ok()) << script_.error;
  }

  const DialogTemplate& Dialog(uint32_t id) {
    const DialogTemplate* found = script_.Find(id);
    EXPECT_NE(found, nullptr) << "dialog " << id;
    static const DialogTemplate empty;
    return found != nullptr ? *found : empty;
  }

  template <size_t N>
  void ExpectRows(const DialogTemplate& dialog, const Row (&rows)[N]) {
    ASSERT_EQ(dialog.controls.size(), N) << "dialog " << dialog.id;
    for (size_t i = 0; i < N; ++i) {
      const Row& row = rows[i];
      const ControlTemplate& control = dialog.controls[i];
      SCOPED_TRACE("dialog " + std::to_string(dialog.id) + " control " + std::to_string(row.id));
      EXPECT_EQ(control.id, row.id);
      EXPECT_EQ(control.kind, row.kind);
      EXPECT_EQ(control.text, row.caption);
      EXPECT_EQ(control.x, row.x);
      EXPECT_EQ(control.y, row.y);
      EXPECT_EQ(control.cx, row.cx);
      EXPECT_EQ(control.cy, row.cy);
      EXPECT_EQ((control.style & WS_VISIBLE) != 0, row.visible);
      EXPECT_EQ(control.style & WS_DISABLED, 0u);
    }
  }

  ResourceScript script_;
};

// The main form's controls, their places and which show at the start are
// what the UI scripts' transcripts show; what they cannot show is here.
TEST_F(NuvResourceScript, HoldsTheFourTemplatesTheMainFormAChildFormWithAScrollBar) {
  EXPECT_EQ(script_.dialogs.size(), 4u);
  const DialogTemplate& form = Dialog(5);
  EXPECT_EQ(form.cx, 451);
  EXPECT_EQ(form.cy, 543);
  EXPECT_EQ(form.font, ShellDialogFont());
  EXPECT_EQ(form.style & (WS_CHILD | WS_VSCROLL | WS_CAPTION | WS_POPUP), WS_CHILD | WS_VSCROLL);
  ASSERT_EQ(form.controls.size(), 33u);
  // Edits read-only, column labels centred and bordered, "Experts Only" automatic.
  for (const ControlTemplate& control : form.controls) {
    SCOPED_TRACE(control.id);
    if (control.kind == WindowKind::Edit) {
      EXPECT_EQ(control.style & (ES_READONLY | ES_AUTOHSCROLL), ES_READONLY | ES_AUTOHSCROLL);
    }
    if (control.id >= 2036 && control.id <= 2041) {
      EXPECT_EQ(control.style & 0x3u, SS_CENTER);
      EXPECT_NE(control.style & WS_BORDER, 0u);
    }
    if (control.id == 2051) {
      EXPECT_EQ(control.style & BS_TYPEMASK, BS_AUTOCHECKBOX);
    }
  }
}

TEST_F(NuvResourceScript, CustomerConfigIsAVisiblePopupWithCaptionAndItsFixedControls) {
  const DialogTemplate& dialog = Dialog(2002);
  EXPECT_EQ(dialog.caption, "Customer Config");
  EXPECT_EQ(dialog.cx, 448);
  EXPECT_EQ(dialog.cy, 327);
  EXPECT_EQ(dialog.font, ShellDialogFont());
  EXPECT_NE(dialog.style & WS_POPUP, 0u);
  EXPECT_EQ(dialog.style & WS_CAPTION, WS_CAPTION);
  EXPECT_NE(dialog.style & WS_SYSMENU, 0u);
  EXPECT_NE(dialog.style & WS_VISIBLE, 0u);
  ExpectRows(dialog, kCustomerConfig);
  for (const ControlTemplate& control : dialog.controls) {
    const bool path_edit = control.id == 2000 || control.id == 2002 || control.id == 2004;
    if (control.kind == WindowKind::Edit) {
      EXPECT_EQ((control.style & ES_READONLY) != 0, path_edit) << control.id;
    }
  }
}

TEST_F(NuvResourceScript, FieldEditDialogIsAHiddenPopupWithOkAndCancel) {
  const DialogTemplate& dialog = Dialog(2003);
  EXPECT_EQ(dialog.cx, 601);
  EXPECT_EQ(dialog.cy, 340);
  EXPECT_EQ(dialog.font, ShellDialogFont());
  EXPECT_EQ(dialog.style & WS_CAPTION, WS_CAPTION);
  EXPECT_NE(dialog.style & WS_SYSMENU, 0u);
  EXPECT_EQ(dialog.style & WS_VISIBLE, 0u);
  ExpectRows(dialog, kFieldEdit);
  EXPECT_EQ(dialog.controls[0].style & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  EXPECT_EQ(dialog.controls[1].style & BS_TYPEMASK, BS_PUSHBUTTON);
}

TEST_F(NuvResourceScript, NewFormatDialogHasItsControlsInOrderAndLaidOutInsideItsGroups) {
  const DialogTemplate& dialog = Dialog(2016);
  EXPECT_EQ(dialog.caption, "New Format");
  EXPECT_EQ(dialog.cx, 432);
  EXPECT_EQ(dialog.cy, 289);
  EXPECT_EQ(dialog.style & WS_VISIBLE, 0u);
  EXPECT_EQ(dialog.style & WS_CAPTION, WS_CAPTION);
  ASSERT_EQ(dialog.controls.size(), std::size(kNewFormat));

  const ControlTemplate* group = nullptr;
  for (size_t i = 0; i < dialog.controls.size(); ++i) {
    const ControlTemplate& control = dialog.controls[i];
    const Entry& entry = kNewFormat[i];
    SCOPED_TRACE(entry.id);
    EXPECT_EQ(control.id, entry.id);
    EXPECT_EQ(control.kind, entry.kind);
    EXPECT_EQ(control.text, entry.caption);
    EXPECT_EQ((control.style & WS_VISIBLE) != 0, entry.visible);
    // Inside the dialog.
    EXPECT_GE(control.x, 0);
    EXPECT_GE(control.y, 0);
    EXPECT_LE(control.x + control.cx, dialog.cx);
    if (control.kind != WindowKind::ComboBox) {  // a combo's height includes its list
      EXPECT_LE(control.y + control.cy, dialog.cy);
    }
    if (control.kind == WindowKind::Edit) {
      EXPECT_EQ(control.style & (ES_READONLY | ES_AUTOHSCROLL | WS_BORDER),
                ES_READONLY | ES_AUTOHSCROLL | WS_BORDER);
    }
    if (control.kind == WindowKind::ComboBox) {
      EXPECT_EQ(control.style & 0x3u, CBS_DROPDOWN);
      EXPECT_NE(control.style & WS_VSCROLL, 0u);
      EXPECT_EQ(control.style & CBS_SORT, 0u);
    }
    if (control.kind == WindowKind::GroupBox) {
      group = &control;
      continue;
    }
    // Every control but "Back" sits inside the group box before it, and no
    // two of a group's controls overlap.
    if (control.id == 2 || group == nullptr)
      continue;
    EXPECT_GT(control.x, group->x);
    EXPECT_GT(control.y, group->y);
    EXPECT_LT(control.x + control.cx, group->x + group->cx);
    if (control.kind != WindowKind::ComboBox) {
      EXPECT_LT(control.y + control.cy, group->y + group->cy);
    }
    for (size_t j = 0; j < i; ++j) {
      const ControlTemplate& other = dialog.controls[j];
      if (other.kind == WindowKind::GroupBox || other.kind == WindowKind::ComboBox ||
          control.kind == WindowKind::ComboBox)
        continue;
      const bool apart = control.x >= other.x + other.cx || other.x >= control.x + control.cx ||
                         control.y >= other.y + other.cy || other.y >= control.y + control.cy;
      EXPECT_TRUE(apart) << control.id << " overlaps " << other.id;
    }
  }
  EXPECT_EQ(dialog.controls[3].style & BS_TYPEMASK, BS_DEFPUSHBUTTON);  // 2056 "Browse"
  // The three groups stand one under the other, "Back" below them.
  EXPECT_LT(dialog.controls[0].y, dialog.controls[6].y);
  EXPECT_LT(dialog.controls[6].y, dialog.controls[15].y);
  EXPECT_GT(dialog.controls[5].y, dialog.controls[15].y + dialog.controls[15].cy);
}

TEST_F(NuvResourceScript, EveryTruncationIsReadOrRefusedWithALine) {
  // Cut anywhere, the script either still reads (a cut between dialogs) or
  // is refused with the file and a line; the reader never runs past its end.
  const std::string_view whole = nuv_resources.script;
  int refused = 0;
  // A prime stride cuts inside every kind of token somewhere along the way.
  for (size_t length = 0; length < whole.size(); length += 31) {
    const ResourceScript cut =
        LoadResourceScript(whole.substr(0, length), nuv_resources.header, "nuv.rc", "resource.h");
    if (!cut.ok()) {
      ++refused;
      EXPECT_EQ(cut.error.rfind("nuv.rc:", 0), 0u) << cut.error;
    }
  }
  EXPECT_GT(refused, static_cast<int>(whole.size() / 31) / 2);  // most cuts break a dialog
  for (size_t length = 0; length < nuv_resources.header.size(); ++length) {
    const ResourceScript cut =
        LoadResourceScript("", nuv_resources.header.substr(0, length), "nuv.rc", "resource.h");
    EXPECT_TRUE(cut.ok() || cut.error.rfind("resource.h:", 0) == 0) << cut.error;
  }
}

// --- the loader on scripts of its own ---

ResourceScript Load(std::string_view script, std::string_view header = "") {
  return LoadResourceScript(script, header, "t.rc", "t.h");
}

TEST(ResourceScript, ReadsStatementsDefaultsNotAndTextEscapes) {
  const ResourceScript script = Load(R"(// a comment
/* a block
   comment */
#include "t.h"
#pragma code_page(65001)
IDD_ONE DIALOG 1, 2, 30, 40
BEGIN
    CTEXT "say ""hi""\tthere", IDC_A, 1, 2, 3, 4
    EDITTEXT IDC_B, 5, 6, 7, 8, ES_READONLY | NOT WS_BORDER | NOT WS_VISIBLE, WS_EX_STATICEDGE
    CONTROL L"Wide", -1, "button", BS_AUTOCHECKBOX, 9, 10, 11, 12
    COMBOBOX IDC_A, 0, 0, 1, 1, CBS_DROPDOWN
    AUTOCHECKBOX "C", 3, 0, 0, 1, 1, WS_DISABLED
END
7 DIALOGEX 0, 0, 1, 1 { GROUPBOX "G", (0x10 | 1) - 1, 0, 0, 1, 1 }
)",
                                     "#pragma once\n#define IDD_ONE 6\n#define IDC_A (1)\n"
                                     "#define IDC_B IDC_A\n#define IDC_NEG ( -5 )\n");
  ASSERT_TRUE(script.ok()) << script.error;
  ASSERT_EQ(script.dialogs.size(), 2u);
  const DialogTemplate& one = script.dialogs[0];
  EXPECT_EQ(one.id, 6u);
  EXPECT_EQ(one.style, WS_POPUP | WS_BORDER | WS_SYSMENU);  // no STYLE: the compiler's default
  ASSERT_EQ(one.controls.size(), 5u);
  EXPECT_EQ(one.controls[0].text, "say \"hi\"\tthere");
  EXPECT_EQ(one.controls[0].style, WS_CHILD | WS_VISIBLE | WS_GROUP | SS_CENTER);
  EXPECT_EQ(one.controls[1].id, 1u);
  EXPECT_EQ(one.controls[1].style, WS_CHILD | WS_TABSTOP | ES_READONLY);
  EXPECT_EQ(one.controls[1].ex_style, WS_EX_STATICEDGE);
  EXPECT_EQ(one.controls[2].kind, WindowKind::CheckBox);  // class names ignore case
  EXPECT_EQ(one.controls[2].id, 0xFFFFFFFFu);
  EXPECT_EQ(one.controls[2].text, "Wide");
  EXPECT_EQ(one.controls[3].kind, WindowKind::ComboBox);
  EXPECT_EQ(one.controls[3].style, WS_CHILD | WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWN);
  EXPECT_EQ(one.controls[4].kind, WindowKind::CheckBox);
  EXPECT_NE(one.controls[4].style & WS_DISABLED, 0u);
  EXPECT_EQ(script.dialogs[1].controls[0].id, 0x10u);
  EXPECT_EQ(script.dialogs[1].controls[0].kind, WindowKind::GroupBox);
}

TEST(ResourceScript, CaptionAndFontAddTheirStyles) {
  const ResourceScript script = Load(
      "9 DIALOGEX 0, 0, 10, 10\nSTYLE WS_POPUP\nCAPTION \"C\"\nFONT 9, \"Face\", 700, 1, 0\n"
      "BEGIN\nEND\n");
  ASSERT_TRUE(script.ok()) << script.error;
  const DialogTemplate& dialog = script.dialogs[0];
  EXPECT_EQ(dialog.style, WS_POPUP | WS_CAPTION | DS_SETFONT);
  EXPECT_EQ(dialog.font, (Font{"Face", 9, 700, true}));
  EXPECT_EQ(dialog.caption, "C");
}

struct BadScript {
  const char* script;
  const char* header;
  const char* error;  // the whole message
};

class ResourceScriptErrors : public ::testing::TestWithParam<BadScript> {};

TEST_P(ResourceScriptErrors, NameTheFileTheLineAndWhatIsWrong) {
  const ResourceScript script = Load(GetParam().script, GetParam().header);
  EXPECT_FALSE(script.ok());
  EXPECT_EQ(script.error, GetParam().error);
  EXPECT_TRUE(script.dialogs.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ResourceScriptErrors,
    ::testing::Values(
        BadScript{"1 DIALOG 0,0,1,1\nBEGIN\n  LISTBOX 3, 0,0,1,1\nEND\n", "",
                  "t.rc:3: the control statement LISTBOX is not understood"},
        BadScript{"1 DIALOG 0,0,1,1\nBEGIN\n  EDITTEXT IDC_NOPE, 0,0,1,1\nEND\n", "",
                  "t.rc:3: the name IDC_NOPE is not defined (in the control's id)"},
        BadScript{"1 DIALOG 0,0,1,1\nBEGIN\n  LTEXT \"x\", 2, 0,0,1,1\n", "",
                  "t.rc:4: the dialog 1 has no END"},
        BadScript{"1 DIALOG 0,0,1,1\nBEGIN\n  LTEXT \"open, 2, 0,0,1,1\nEND\n", "",
                  "t.rc:3: a quoted text is not closed on its line"},
        BadScript{"/* never closed\n1 DIALOG 0,0,1,1\n", "", "t.rc:1: a comment is not closed"},
        BadScript{"1 DIALOG 0,0,1,1 BEGIN END\n1 DIALOG 0,0,1,1 BEGIN END\n", "",
                  "t.rc:2: dialog 1 is declared twice"},
        BadScript{"1 MENU BEGIN END\n", "",
                  "t.rc:1: resources of type MENU are not understood; only DIALOG and DIALOGEX"},
        BadScript{"#ifdef X\n", "",
                  "t.rc:1: the preprocessor line '#ifdef X' is not understood; only #include "
                  "and #pragma"},
        BadScript{"1 DIALOG 0,0,1,1\nBEGIN\n CONTROL \"r\", 2, \"Button\", 4, 0,0,1,1\nEND\n", "",
                  "t.rc:3: the button type 4 is not understood; only push buttons, check boxes "
                  "and group boxes"},
        BadScript{"1 DIALOG 0,0,1,1\nBEGIN\n CONTROL \"r\", 2, \"ListBox\", 0, 0,0,1,1\nEND\n", "",
                  "t.rc:3: the control class LISTBOX is not understood; only Button, Static, "
                  "Edit and ComboBox"},
        BadScript{"1 DIALOG 0,0,1,1\nBEGIN\n PUSHBUTTON \"b\" 2, 0,0,1,1\nEND\n", "",
                  "t.rc:3: expected ',' after the control's text, found 2"},
        BadScript{"1 DIALOG 0,0,99999999999,1\n", "",
                  "t.rc:1: the number 99999999999 does not fit 32 bits"},
        BadScript{"1 DIALOG 0,0,1,1\nBEGIN\n PUSHBUTTON \"b\", 70000, 0,0,1,1\nEND\n", "",
                  "t.rc:3: the control's id 70000 is outside -1 to 65535"},
        BadScript{"0 DIALOG 0,0,1,1 BEGIN END\n", "",
                  "t.rc:1: resource id 0 is outside 1 to 65535"},
        BadScript{"1 DIALOG 0,0,1,1 BEGIN END\n", "#define A 1\nint x;\n",
                  "t.h:2: expected a #define line, found 'int'"},
        BadScript{"1 DIALOG 0,0,1,1 BEGIN END\n", "#define A B\n",
                  "t.h:1: the value of A must be a number, found 'B'"},
        BadScript{"1 DIALOG 0,0,1,1 BEGIN END\n", "#define A 1\n#define A 2\n",
                  "t.h:2: A is defined twice with different values"},
        BadScript{"1 DIALOG 0,0,1,1 BEGIN END\n", "#ifndef GUARD\n",
                  "t.h:1: only #define and #pragma once belong in an id header, found "
                  "'#ifndef GUARD'"},
        BadScript{"1 DIALOG 0,0,1,1 BEGIN @ END\n", "", "t.rc:1: unexpected character '@'"},
        BadScript{"1 DIALOG 0,0,1,1\nBEGIN\n LTEXT \"x\", 2, 0,0,1,1, WS_CHILD + 3\nEND\n", "",
                  "t.rc:3: expected a control statement, found '+'"}));

TEST(ResourceScript, RefusesExpressionsNestedTooDeeply) {
  const std::string deep = "1 DIALOG " + std::string(100000, '-') + "0,0,1,1 BEGIN END\n";
  EXPECT_EQ(Load(deep).error, "t.rc:1: the dialog's x is nested too deeply");
  const std::string parens =
      "1 DIALOG " + std::string(70, '(') + "0" + std::string(70, ')') + ",0,1,1 BEGIN END\n";
  EXPECT_FALSE(Load(parens).ok());
  const std::string fine =
      "1 DIALOG " + std::string(10, '(') + "-~-1" + std::string(10, ')') + ",0,1,1 BEGIN END\n";
  ASSERT_TRUE(Load(fine).ok()) << Load(fine).error;
  EXPECT_EQ(Load(fine).dialogs[0].x, 0);  // -(~(-1)), inside ten parentheses
}

}  // namespace
}  // namespace nuv::fw
