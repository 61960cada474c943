// The tables the build compiles from resource scripts, as the framework
// sees them: what the reader makes of each statement, and what the tool's
// own dialogs need of theirs that the UI transcripts cannot show.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>

#include "framework/constants.h"
#include "framework/dialog_template.h"
#include "resource.h"

extern const nuv::fw::DialogTemplates statements_templates;
extern const nuv::fw::DialogTemplates nuv_templates;

namespace nuv::fw {
namespace {

template <typename Table>
auto* FindId(const Table& table, uint32_t id) {
  const auto found =
      std::find_if(table.begin(), table.end(), [id](const auto& entry) { return entry.id == id; });
  return found != table.end() ? &*found : nullptr;
}

TEST(TemplateTables, HoldEachStatementWithItsDefaultsStylesAndTextsByteForByte) {
  ASSERT_EQ(statements_templates.size(), 3u);
  const DialogTemplate& one = statements_templates[0];
  EXPECT_EQ(one.id, 6u);
  EXPECT_EQ((std::array{one.x, one.y, one.cx, one.cy}), (std::array{1, 2, 30, 40}));
  EXPECT_EQ(one.style, WS_POPUP | WS_BORDER | WS_SYSMENU);  // no STYLE: the compiler's default
  ASSERT_EQ(one.controls.size(), 5u);
  EXPECT_EQ(one.controls[0].text,
            "say \"hi\"\tthere \\ \xC3\xA9"
            "1");
  EXPECT_EQ(one.controls[0].style, WS_CHILD | WS_VISIBLE | WS_GROUP | SS_CENTER);
  EXPECT_EQ(one.controls[1].id, 1u);
  EXPECT_EQ(one.controls[1].kind, WindowKind::Edit);
  EXPECT_EQ(one.controls[1].style, WS_CHILD | WS_TABSTOP | ES_READONLY);
  EXPECT_EQ(one.controls[1].ex_style, WS_EX_STATICEDGE);
  EXPECT_EQ(one.controls[2].kind, WindowKind::CheckBox);  // class names ignore case
  EXPECT_EQ(one.controls[2].id, 0xFFFFFFFFu);
  EXPECT_EQ(one.controls[2].text, "Wide");
  EXPECT_EQ(
      (std::array{one.controls[2].x, one.controls[2].y, one.controls[2].cx, one.controls[2].cy}),
      (std::array{9, 10, 11, 12}));
  EXPECT_EQ(one.controls[3].kind, WindowKind::ComboBox);
  EXPECT_EQ(one.controls[3].style, WS_CHILD | WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWN);
  EXPECT_EQ(one.controls[4].kind, WindowKind::CheckBox);
  EXPECT_NE(one.controls[4].style & WS_DISABLED, 0u);

  const DialogTemplate& braces = statements_templates[1];
  EXPECT_EQ(braces.x, 0);  // -(~(-1)), inside ten parentheses
  ASSERT_EQ(braces.controls.size(), 1u);
  EXPECT_EQ(braces.controls[0].id, 0x10u);
  EXPECT_EQ(braces.controls[0].kind, WindowKind::GroupBox);

  // A caption and a font add their styles, as the resource compiler does.
  const DialogTemplate& styled = statements_templates[2];
  EXPECT_EQ(styled.style, WS_POPUP | WS_CAPTION | DS_SETFONT);
  EXPECT_EQ(styled.font.ToFont(), (Font{"Face", 9, 700, true}));
  EXPECT_EQ(styled.caption, "C");
  EXPECT_TRUE(styled.controls.empty());
}

// Bits of the tool's templates that its windows rely on.
struct NeededStyle {
  uint32_t dialog;
  uint32_t control;  // 0: the dialog itself
  uint32_t mask;
  uint32_t bits;
  const char* why;
};

constexpr uint32_t kFrame = WS_CHILD | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VSCROLL | WS_VISIBLE;
constexpr uint32_t kDialog = WS_POPUP | WS_CAPTION | WS_SYSMENU;

constexpr NeededStyle kNeeded[] = {
    {IDD_NUV_FORM, 0, kFrame, WS_CHILD | WS_VSCROLL, "a captionless child form that scrolls"},
    {IDD_CUSTOMER_CONFIG, 0, kFrame, kDialog | WS_VISIBLE, "shown as soon as it is made"},
    {IDD_FIELD_EDIT, 0, kFrame, kDialog, "shown once its fields are made"},
    {IDD_NEW_FORMAT, 0, kFrame, kDialog, "shown when the flow asks for it"},
    {IDD_NUV_FORM, IDC_FORM_SOURCE_PATH, ES_READONLY, ES_READONLY, "paths come from Browse"},
    {IDD_NUV_FORM, IDC_FORM_COLUMN_TIME, WS_BORDER | 0x3, WS_BORDER | SS_CENTER, "a column head"},
    {IDD_NUV_FORM, IDC_FORM_EXPERTS_ONLY, BS_TYPEMASK, BS_AUTOCHECKBOX, "checks itself"},
    {IDD_CUSTOMER_CONFIG, IDC_CFG_ADDRESS, ES_READONLY, 0, "the user types an address"},
    {IDD_CUSTOMER_CONFIG, IDC_CFG_BYTE, ES_READONLY, 0, "the user types a byte"},
    {IDD_CUSTOMER_CONFIG, IDC_CFG_KEY_PATH, ES_READONLY, ES_READONLY, "paths come from Browse"},
    {IDD_FIELD_EDIT, IDOK, BS_TYPEMASK, BS_DEFPUSHBUTTON, "Enter means OK"},
    {IDD_NEW_FORMAT, IDC_NEW_OUTPUT_PATH, ES_READONLY, ES_READONLY, "paths come from Browse"},
    {IDD_NEW_FORMAT, IDC_NEW_SAVE_BLOCK_COMBO, CBS_DROPDOWNLIST | CBS_SORT, CBS_DROPDOWN,
     "blocks listed in image order"},
    {IDD_NEW_FORMAT, IDC_NEW_LOAD_BLOCK_COMBO, CBS_DROPDOWNLIST | CBS_SORT, CBS_DROPDOWN,
     "blocks listed in image order"},
};

TEST(TemplateTables, TheToolsTemplatesCarryWhatItsWindowsRelyOn) {
  ASSERT_EQ(nuv_templates.size(), 4u);
  for (const DialogTemplate& dialog : nuv_templates) {
    // Dialog units are converted with the base units of this font.
    EXPECT_EQ(dialog.font.ToFont(), ShellDialogFont()) << dialog.id;
  }
  for (const NeededStyle& needed : kNeeded) {
    SCOPED_TRACE(std::to_string(needed.dialog) + "/" + std::to_string(needed.control) + ": " +
                 needed.why);
    const DialogTemplate* dialog = FindId(nuv_templates, needed.dialog);
    ASSERT_NE(dialog, nullptr);
    const ControlTemplate* control = FindId(dialog->controls, needed.control);
    ASSERT_TRUE(needed.control == 0 || control != nullptr);
    const uint32_t style = needed.control == 0 ? dialog->style : control->style;
    EXPECT_EQ(style & needed.mask, needed.bits);
  }
}

}  // namespace
}  // namespace nuv::fw
