// The main form driven as a user drives it, in a headless application: the
// form, its helpers and the core are linked in, with the real templates.
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "framework/application.h"
#include "framework/button.h"
#include "framework/constants.h"
#include "framework/module.h"
#include "framework/user_input.h"
#include "image/grid_row.h"
#include "plugin/nuv_dialog.h"
#include "plugin/plugin_entry.h"
#include "recording_backend.h"
#include "resource.h"
#include "sample_set.h"
#include "support/window_messages.h"
#include "temp_folder.h"

extern const nuv::fw::ResourceTexts nuv_test_resources;

namespace nuv::plugin {
namespace {

using ::testing::ElementsAre;
using ::testing::Pair;

const fw::Module g_module("nuv plug-in tests", &nuv_test_resources,
                          {&NuvDialog::kClass, &toolcfg::nuvnewfmtdlg::kClass});

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
  static inline test::TempFolder folder_;
};

const auto* const g_samples = ::testing::AddGlobalTestEnvironment(new Samples);

class FormTest : public ::testing::Test {
 protected:
  FormTest() : backend_(new test::RecordingBackend), app_("nuvhost", Own(backend_)) {
    app_.CreatePage();
  }

  static std::unique_ptr<fw::Backend> Own(test::RecordingBackend* backend) {
    return std::unique_ptr<fw::Backend>(backend);
  }

  NuvDialog& Form() {
    if (TheForm() == nullptr) {
      EXPECT_EQ(InitPlugin(app_.page()), 1);
    }
    NuvDialog* form = TheForm();
    EXPECT_NE(form, nullptr);
    return *form;
  }

  fw::Window& Control(uint32_t id) {
    fw::Window* control = Form().GetDlgItem(id);
    EXPECT_NE(control, nullptr) << id;
    return *control;
  }

  void Click(uint32_t id) {
    fw::UserClick(Control(id));
    app_.Flush();
  }

  void SetExperts(bool on) {
    auto& box = dynamic_cast<fw::Button&>(Control(IDC_FORM_EXPERTS_ONLY));
    if ((box.GetCheck() != 0) != on)
      Click(IDC_FORM_EXPERTS_ONLY);
  }

  void PreParse(std::string_view sample) {
    backend_->headless().QueueAnswer(Samples::Path(sample));
    Click(IDC_FORM_SOURCE_BROWSE);
    Click(IDC_FORM_PREPARSE);
  }

  // Children of the form that are grid cells and exist.
  std::vector<fw::Window*> Cells() {
    std::vector<fw::Window*> cells;
    for (fw::Window* child : Form().children()) {
      if (child->IsWindow() && child->GetDlgCtrlID() >= CellGrid::kFirstCellId)
        cells.push_back(child);
    }
    return cells;
  }

  test::RecordingBackend* backend_;  // owned by app_
  fw::Application app_;
};

TEST_F(FormTest, InitMakesOneFormAsTheFirstPaneOfThePage) {
  EXPECT_EQ(TheForm(), nullptr);
  ASSERT_EQ(InitPlugin(app_.page()), 1);
  NuvDialog* form = TheForm();
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->GetParent(), app_.page());
  EXPECT_EQ(form->GetDlgCtrlID(), fw::AFX_IDW_PANE_FIRST);
  EXPECT_EQ(form->class_name(), "NuvDialog");
  const uint32_t style = fw::WS_CHILD | fw::WS_VISIBLE | fw::WS_BORDER;
  EXPECT_EQ(form->GetStyle() & style, style);

  // A second call makes nothing new.
  EXPECT_EQ(InitPlugin(app_.page()), 1);
  EXPECT_EQ(TheForm(), form);
  EXPECT_EQ(app_.page()->children().size(), 1u);

  // The page takes the form with it; the single instance does not dangle.
  app_.DestroyPage();
  app_.Flush();
  EXPECT_EQ(TheForm(), nullptr);
}

TEST_F(FormTest, InitWithoutAParentWindowFailsAndCanBeTriedAgain) {
  EXPECT_EQ(InitPlugin(nullptr), 0);
  EXPECT_EQ(TheForm(), nullptr);
  EXPECT_EQ(InitPlugin(app_.page()), 1);
  EXPECT_NE(TheForm(), nullptr);
}

TEST_F(FormTest, PreParseMakesOneRowOfCellsPerBlockUnderTheColumnLabels) {
  PreParse("images/new-two-banks.bin");
  NuvDialog& form = Form();
  ASSERT_EQ(form.flash_image().table.total(), 5);
  ASSERT_EQ(Cells().size(), 5u * CellGrid::kColumns);
  for (size_t row = 0; row < 5; ++row) {
    const image::GridRow texts = image::MakeGridRow(form.flash_image().table.records[row].entry);
    for (size_t column = 0; column < CellGrid::kColumns; ++column) {
      const fw::Window* cell = form.grid().Cell(row, column);
      ASSERT_NE(cell, nullptr);
      EXPECT_EQ(cell, form.GetDlgItem(CellGrid::CellId(row, column)));
      EXPECT_EQ(cell->GetDlgCtrlID(), 10000 + 10 * row + column);
      EXPECT_EQ(cell->kind(), fw::WindowKind::Static);
      EXPECT_EQ(cell->GetStyle(), 0x50001001u);
      EXPECT_EQ(cell->GetFont(), form.GetFont());
      EXPECT_EQ(cell->GetWindowText(), texts.cells[column]);
      const fw::Rect label = Control(IDC_FORM_COLUMN_ID + static_cast<uint32_t>(column)).rect();
      const int top = label.top + 21 * static_cast<int>(row + 1);
      EXPECT_EQ(cell->rect(), (fw::Rect{label.left, top, label.right, top + 21}));
    }
  }
  EXPECT_EQ(form.grid().Cell(5, 0), nullptr);
}

TEST_F(FormTest, ASlotThatHoldsACellIsNotFilledAgain) {
  NuvDialog& form = Form();
  CellGrid grid;
  image::GridRow first;
  first.cells = {"01", "1", "2", "first", "3", "4"};
  image::GridRow second;
  second.cells = {"02", "5", "6", "second", "7", "8"};
  grid.FillRow(form, IDC_FORM_COLUMN_ID, 0, first);
  grid.FillRow(form, IDC_FORM_COLUMN_ID, 0, second);
  grid.FillRow(form, IDC_FORM_COLUMN_ID, CellGrid::kRows, second);
  ASSERT_EQ(Cells().size(), CellGrid::kColumns);
  ASSERT_NE(grid.Cell(0, 3), nullptr);
  EXPECT_EQ(grid.Cell(0, 3)->GetWindowText(), "first");

  grid.Clear();
  app_.Flush();
  EXPECT_TRUE(Cells().empty());
  EXPECT_EQ(grid.Cell(0, 3), nullptr);
  // Emptied slots take new cells.
  grid.FillRow(form, IDC_FORM_COLUMN_ID, 0, second);
  ASSERT_NE(grid.Cell(0, 3), nullptr);
  EXPECT_EQ(grid.Cell(0, 3)->GetWindowText(), "second");
}

TEST_F(FormTest, CancelReleasesTheImageTheTablesTheScriptAndTheGrid) {
  SetExperts(false);
  PreParse("legacy/legacy.bin");
  NuvDialog& form = Form();
  Click(IDC_FORM_PARSE);
  ASSERT_GT(form.script_blocks().count(), 0u);
  ASSERT_FALSE(Cells().empty());
  EXPECT_FALSE(Control(IDC_FORM_PREPARSE).IsWindowEnabled());
  const uint64_t generation = form.script_blocks().generation();

  Click(IDC_FORM_CLEAR);
  EXPECT_TRUE(Cells().empty());
  EXPECT_EQ(form.grid().Cell(0, 0), nullptr);
  EXPECT_TRUE(form.flash_image().bytes().empty());
  EXPECT_TRUE(form.flash_image().legacy_entries.empty());
  EXPECT_EQ(form.script_blocks().count(), 0u);
  EXPECT_NE(form.script_blocks().generation(), generation);
  EXPECT_EQ(form.source_path(), "");
  EXPECT_EQ(form.flash_image().script_path, "");
  EXPECT_TRUE(Control(IDC_FORM_PREPARSE).IsWindowEnabled());
  EXPECT_TRUE(Control(IDC_FORM_SOURCE_BROWSE).IsWindowEnabled());
  // The numbers and the version keep their values behind hidden controls.
  EXPECT_EQ(form.flash_image().block_number, 7u);
  EXPECT_EQ(Control(IDC_FORM_SW_VERSION).GetWindowText(), "LEGACY-V1.0");
  EXPECT_FALSE(Control(IDC_FORM_SW_VERSION).IsWindowVisible());

  PreParse("images/new-two-banks.bin");
  Click(IDC_FORM_CLEAR);
  EXPECT_TRUE(form.flash_image().table.records.empty());
  EXPECT_TRUE(form.flash_image().snapshot.records.empty());
  EXPECT_EQ(form.flash_image().image_length, 0u);
}

TEST_F(FormTest, TheSdramSizeIsShownSignedAndTheOtherNumbersUnsigned) {
  NuvDialog& form = Form();
  form.flash_image().sdram_size = 0x80000000;
  form.flash_image().flash_size = 0xFFFFFFFF;
  form.flash_image().block_number = 64;
  form.UpdateData(false);
  EXPECT_EQ(Control(IDC_FORM_SDRAM_SIZE).GetWindowText(), "-2147483648");
  EXPECT_EQ(Control(IDC_FORM_FLASH_SIZE).GetWindowText(), "4294967295");
  EXPECT_EQ(Control(IDC_FORM_BLOCK_NUMBER).GetWindowText(), "64");
  form.flash_image().sdram_size = 0;
  form.flash_image().flash_size = 0;
  EXPECT_TRUE(form.UpdateData(true));
  EXPECT_EQ(form.flash_image().sdram_size, 0x80000000u);
  EXPECT_EQ(form.flash_image().flash_size, 0xFFFFFFFFu);
}

TEST_F(FormTest, EachSuccessfulNewFormatParseKeepsANewDialogObject) {
  PreParse("toolcfg/new-toolcfg.bin");
  NuvDialog& form = Form();
  Click(IDC_FORM_PARSE);
  Click(IDC_FORM_PARSE);
  // The image has no "preset" block: each export says so and goes on.
  const size_t export_boxes = backend_->Boxes().size();
  EXPECT_EQ(export_boxes, 4u);
  ASSERT_EQ(form.new_format_dialogs().size(), 2u);
  EXPECT_NE(form.new_format_dialogs()[0].get(), form.new_format_dialogs()[1].get());
  for (const auto& dialog : form.new_format_dialogs()) {
    const toolcfg::ToolConfig& model = dialog->model();
    EXPECT_FALSE(model.sheet2.blocks.empty() && model.sheet3.blocks.empty() &&
                 model.sheet4.blocks.empty());
    // The workbook was exported, so each dialog's window is open.
    EXPECT_TRUE(dialog->IsWindow());
  }

  // A failed parse keeps nothing.
  Click(IDC_FORM_CLEAR);
  PreParse("toolcfg/new-no-toolcfg.bin");
  Click(IDC_FORM_PARSE);
  EXPECT_EQ(form.new_format_dialogs().size(), 2u);
  ASSERT_EQ(backend_->Boxes().size(), export_boxes + 1);
  EXPECT_EQ(backend_->Boxes().back(), "nuvhost: Wrong binary file, can not parse it!");
}

TEST_F(FormTest, TheFileDialogsAskForWhatTheFormNeeds) {
  NuvDialog& form = Form();
  backend_->headless().QueueAnswer("image");
  Click(IDC_FORM_SOURCE_BROWSE);
  EXPECT_EQ(form.source_path(), "image.hex");
  SetExperts(true);
  PreParse("images/legacy.bin");
  backend_->headless().QueueAnswer("script");
  Click(IDC_FORM_SCRIPT_BROWSE);
  backend_->headless().QueueAnswer("out");
  Click(IDC_FORM_OUTPUT_BROWSE);

  const std::vector<fw::FileDialogRequest>& asked = backend_->file_dialogs();
  ASSERT_EQ(asked.size(), 4u);
  for (const fw::FileDialogRequest& request : {asked[0], asked[1], asked[2]}) {
    EXPECT_TRUE(request.open);
    EXPECT_EQ(request.owner, &form);
    EXPECT_EQ(request.flags, fw::OFN_EXPLORER);
    EXPECT_EQ(request.default_extension, "hex");
    EXPECT_EQ(request.initial_name, "");
  }
  for (size_t source : {0, 1}) {
    EXPECT_THAT(asked[source].filter,
                ElementsAre(Pair("bin files (*.bin)", "*.bin"), Pair("All Files (*.*)", "*.*")));
  }
  EXPECT_THAT(asked[2].filter,
              ElementsAre(Pair("cfg files (*.cfg)", "*.cfg"), Pair("All Files (*.*)", "*.*")));
  EXPECT_TRUE(asked[3].open);
  EXPECT_EQ(asked[3].owner, &form);
  EXPECT_EQ(asked[3].flags, fw::OFN_HIDEREADONLY | fw::OFN_OVERWRITEPROMPT);
  EXPECT_EQ(asked[3].default_extension, "");
  EXPECT_EQ(asked[3].initial_name, "");
  EXPECT_THAT(asked[3].filter,
              ElementsAre(Pair("cfg bin files (*.bin)", "*.bin"), Pair("All Files (*.*)", "*.*")));

  EXPECT_EQ(form.source_path(), Samples::Path("images/legacy.bin"));
  EXPECT_EQ(form.flash_image().script_path, "script.hex");
  EXPECT_EQ(form.output_path(), "out");
  EXPECT_EQ(Control(IDC_FORM_OUTPUT_PATH).GetWindowText(), "out");
  EXPECT_THAT(backend_->Boxes(), ElementsAre("nuvhost: Failed to open selected file!",
                                             "nuvhost: Failed to open selected file!"));
}

TEST_F(FormTest, WindowMessagesOpenTheWindowsOwnOrTheApplicationsBox) {
  NuvDialog& form = Form();
  WindowMessages messages(form);
  messages.Show(BoxCaption::Error, "from the form");
  messages.Show(BoxCaption::Application, "from the framework");
  EXPECT_THAT(backend_->Boxes(),
              ElementsAre("error: from the form", "nuvhost: from the framework"));
}

}  // namespace
}  // namespace nuv::plugin
