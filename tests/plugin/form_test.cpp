// The main form driven as a user drives it, in a headless application: the
// form, its helpers and the core are linked in, with the real templates.
// What the form shows (the grid's texts and places, the sections Pre-Parse
// and Cancel show and hide, the boxes) is in the UI scripts' transcripts;
// here is what they cannot see.
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "framework/application.h"
#include "framework/module.h"
#include "framework/scroll_area.h"
#include "framework/user_input.h"
#include "image/grid_row.h"
#include "plugin/nuv_dialog.h"
#include "plugin/plugin_entry.h"
#include "recording_backend.h"
#include "resource.h"
#include "sample_set.h"
#include "test_files.h"

extern const nuv::fw::DialogTemplates nuv_test_templates;

namespace nuv::plugin {
namespace {

using ::testing::ElementsAre;
using ::testing::Pair;

const fw::Module g_module("nuv plug-in tests", nuv_test_templates,
                          {&NuvDialog::kClass, &exchange::nuvnewfmtdlg::kClass});

// The sample images, written once for every test of the program, and a
// private root of its own for the extraction's temporary files.
class Samples : public ::testing::Environment {
 public:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(samples::WriteAll(folder_.path() / "samples", error)) << error;
    setenv("NUV_PRIVATE_ROOT", (folder_.path() / "private-d").c_str(), 1);
  }
  static std::string Path(std::string_view name) {
    return (folder_.path() / "samples" / name).string();
  }

 private:
  static inline nuv::test::TempFolder folder_;
};

const auto* const g_samples = ::testing::AddGlobalTestEnvironment(new Samples);

class FormTest : public ::testing::Test {
 protected:
  FormTest() : backend_(new test::RecordingBackend), app_("nuvhost", Own(backend_)) {
    app_.CreatePage();
    EXPECT_EQ(InitPlugin(app_.page()), InitResult::kFormExists);
  }
  static std::unique_ptr<fw::Backend> Own(test::RecordingBackend* backend) {
    return std::unique_ptr<fw::Backend>(backend);
  }

  NuvDialog& Form() { return *TheForm(); }
  fw::Window& Control(uint32_t id) { return *Form().GetDlgItem(id); }
  void Click(uint32_t id) {
    fw::UserClick(Control(id));
    app_.Flush();
  }
  void PreParse(std::string_view sample) {
    backend_->headless().QueueAnswer(Samples::Path(sample));
    Click(IDC_FORM_SOURCE_BROWSE);
    Click(IDC_FORM_PREPARSE);
  }
  // The grid cells that exist: the controls of the form's scrolling areas.
  std::vector<fw::Window*> Cells() {
    std::vector<fw::Window*> cells;
    for (fw::Window* child : Form().children()) {
      if (child->kind() == fw::WindowKind::ScrollArea)
        cells.insert(cells.end(), child->children().begin(), child->children().end());
    }
    return cells;
  }

  test::RecordingBackend* backend_;  // owned by app_
  fw::Application app_;
};

TEST_F(FormTest, TheGridsCellsAreSunkenCentredLabelsInTheFormsFont) {
  PreParse("images/new-two-banks.bin");
  ASSERT_EQ(Cells().size(), 5u * CellGrid::kColumns);
  for (const fw::Window* cell : Cells()) {
    EXPECT_EQ(cell->GetStyle(), 0x50001001u) << cell->GetDlgCtrlID();
    EXPECT_EQ(cell->GetFont(), Form().GetFont());
  }
  EXPECT_EQ(Form().grid().Cell(4, CellGrid::kColumns - 1), Cells().back());
  EXPECT_EQ(Form().grid().Cell(5, 0), nullptr);
}

TEST_F(FormTest, ASlotThatHoldsACellIsNotFilledAgain) {
  CellGrid grid(IDC_FORM_BLOCK_GROUP, IDC_FORM_COLUMN_ID);
  const image::GridRow first{.block_id = 1, .name = "first"};
  const image::GridRow second{.block_id = 2, .name = "second"};
  grid.FillRow(Form(), 0, first);
  grid.FillRow(Form(), 0, second);
  grid.FillRow(Form(), CellGrid::kRows, second);
  ASSERT_EQ(Cells().size(), CellGrid::kColumns);
  ASSERT_NE(grid.Cell(0, 3), nullptr);
  EXPECT_EQ(grid.Cell(0, 3)->GetWindowText(), "first");

  grid.Clear();
  app_.Flush();
  EXPECT_TRUE(Cells().empty());
  EXPECT_EQ(grid.Cell(0, 3), nullptr);
  // Emptied slots take new cells.
  grid.FillRow(Form(), 0, second);
  ASSERT_NE(grid.Cell(0, 3), nullptr);
  EXPECT_EQ(grid.Cell(0, 3)->GetWindowText(), "second");
}

TEST_F(FormTest, TheRowsOfTheLargestImageScrollInsideTheirGroupUntilTheLastIsInView) {
  PreParse("images/legacy-64-blocks.bin");
  ASSERT_EQ(Cells().size(), CellGrid::kRows * CellGrid::kColumns);
  auto* area = Form().GetDlgItemAs<fw::ScrollArea>(CellGrid::kAreaId);
  ASSERT_NE(area, nullptr);
  const fw::Rect view = area->GetWindowRect();
  const fw::Rect group = Control(IDC_FORM_BLOCK_GROUP).GetWindowRect();
  EXPECT_TRUE(group.left < view.left && view.right < group.right && view.bottom < group.bottom);
  for (const uint32_t below : {IDC_FORM_PARSE_GROUP, IDC_FORM_PARSE, IDC_FORM_EXPORT_GROUP,
                               IDC_FORM_OUTPUT_PATH, IDC_FORM_EXPORT})
    EXPECT_FALSE(view.Intersects(Control(below).GetWindowRect())) << below;

  // Row by row, an arrow press brings the next one wholly into view.
  const auto cell = [&](size_t row) { return Form().grid().Cell(row, 0)->GetWindowRect(); };
  for (size_t row = 0; row < CellGrid::kRows; ++row) {
    if (cell(row).bottom > view.bottom)
      fw::UserScroll(*area, 1);
    EXPECT_TRUE(view.top <= cell(row).top && cell(row).bottom <= view.bottom) << row;
  }
  EXPECT_EQ(area->scroll_pos(), area->ScrollLimit());

  // A new Pre-Parse after Cancel starts at the first row again.
  Click(IDC_FORM_CLEAR);
  EXPECT_EQ(Form().GetDlgItem(CellGrid::kAreaId), nullptr);
  PreParse("images/legacy-64-blocks.bin");
  EXPECT_EQ(cell(0).top, view.top);
}

TEST_F(FormTest, CancelReleasesTheImageTheTablesAndTheScript) {
  PreParse("legacy/legacy.bin");
  Click(IDC_FORM_PARSE);
  NuvDialog& form = Form();
  ASSERT_GT(form.script_blocks().count(), 0u);
  const uint64_t generation = form.script_blocks().generation();
  Click(IDC_FORM_CLEAR);
  EXPECT_EQ(form.grid().Cell(0, 0), nullptr);
  EXPECT_TRUE(form.flash_image().bytes().empty());
  EXPECT_TRUE(form.flash_image().legacy_entries.empty());
  EXPECT_EQ(form.script_blocks().count(), 0u);
  EXPECT_NE(form.script_blocks().generation(), generation);

  PreParse("images/new-two-banks.bin");
  ASSERT_FALSE(form.flash_image().table.records.empty());
  Click(IDC_FORM_CLEAR);
  EXPECT_TRUE(form.flash_image().table.records.empty());
  EXPECT_TRUE(form.flash_image().snapshot.records.empty());
  EXPECT_EQ(form.flash_image().image_length, 0u);
}

TEST_F(FormTest, TheSdramSizeIsShownSignedAndTheOtherNumbersUnsigned) {
  image::FlashImage& image = Form().flash_image();
  image.sdram_size = 0x80000000;
  image.flash_size = 0xFFFFFFFF;
  image.block_number = 64;
  Form().UpdateData(false);
  EXPECT_EQ(Control(IDC_FORM_SDRAM_SIZE).GetWindowText(), "-2147483648");
  EXPECT_EQ(Control(IDC_FORM_FLASH_SIZE).GetWindowText(), "4294967295");
  EXPECT_EQ(Control(IDC_FORM_BLOCK_NUMBER).GetWindowText(), "64");
  image.sdram_size = 0;
  image.flash_size = 0;
  EXPECT_TRUE(Form().UpdateData(true));
  EXPECT_EQ(image.sdram_size, 0x80000000u);
  EXPECT_EQ(image.flash_size, 0xFFFFFFFFu);
}

TEST_F(FormTest, TheFileDialogsAskForWhatTheFormNeeds) {
  Click(IDC_FORM_EXPERTS_ONLY);
  PreParse("images/legacy.bin");
  backend_->headless().QueueAnswer("script");
  Click(IDC_FORM_SCRIPT_BROWSE);
  backend_->headless().QueueAnswer("out");
  Click(IDC_FORM_OUTPUT_BROWSE);
  EXPECT_EQ(Form().output_path(), "out");  // no default extension

  const std::vector<fw::FileDialogRequest>& asked = backend_->file_dialogs();
  ASSERT_EQ(asked.size(), 3u);
  for (const fw::FileDialogRequest& request : asked) {
    EXPECT_TRUE(request.open);
    EXPECT_EQ(request.owner, &Form());
    EXPECT_EQ(request.initial_name, "");
  }
  for (size_t open : {0, 1}) {
    EXPECT_EQ(asked[open].flags, fw::OFN_EXPLORER);
    EXPECT_EQ(asked[open].default_extension, "hex");
  }
  EXPECT_THAT(asked[0].filter,
              ElementsAre(Pair("bin files (*.bin)", "*.bin"), Pair("All Files (*.*)", "*.*")));
  EXPECT_THAT(asked[1].filter,
              ElementsAre(Pair("cfg files (*.cfg)", "*.cfg"), Pair("All Files (*.*)", "*.*")));
  EXPECT_EQ(asked[2].flags, fw::OFN_HIDEREADONLY | fw::OFN_OVERWRITEPROMPT);
  EXPECT_EQ(asked[2].default_extension, "");
  EXPECT_THAT(asked[2].filter,
              ElementsAre(Pair("cfg bin files (*.bin)", "*.bin"), Pair("All Files (*.*)", "*.*")));
}

}  // namespace
}  // namespace nuv::plugin
