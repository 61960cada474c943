// Message boxes and file dialogs: Qt's own, carrying what the framework
// asked for.
#include <filesystem>

#include <QFileDialog>
#include <QMessageBox>

#include "framework/constants.h"
#include "framework/file_dialog.h"
#include "framework/open_file_name.h"
#include "framework/qt/answer.h"
#include "framework/qt/qt_file_filter.h"
#include "framework/window.h"
#include "qt_fixture.h"

namespace nuv::fw::qt::testing {
namespace {

struct SeenDialog {
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QStringList filters;
  QString suffix;
  QFileDialog::AcceptMode accept = QFileDialog::AcceptOpen;
  QFileDialog::FileMode mode = QFileDialog::AnyFile;
  bool confirms_overwrite = false;
  QWidget* parent = nullptr;
};

constexpr char kBinFilter[] = "bin files (*.bin)\0*.bin\0All Files (*.*)\0*.*\0";

class ModalTest : public QtTest {
 protected:
  ModalTest() {
    backend_.SetModalHook([this](QDialog& dialog) {
      SeenDialog seen;
      seen.title = dialog.windowTitle();
      seen.parent = dialog.parentWidget();
      if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
        seen.text = box->text();
        seen.icon = box->icon();
      }
      if (auto* files = qobject_cast<QFileDialog*>(&dialog)) {
        seen.filters = files->nameFilters();
        seen.suffix = files->defaultSuffix();
        seen.accept = files->acceptMode();
        seen.mode = files->fileMode();
        seen.confirms_overwrite = !files->testOption(QFileDialog::DontConfirmOverwrite);
        seen_.push_back(seen);
        if (answer.isEmpty() || !AnswerFileDialog(*files, answer))
          dialog.reject();
        return;
      }
      seen_.push_back(seen);
      dialog.accept();
    });
  }

  QString answer;  // typed into the next file dialog; empty: cancel it
  std::vector<SeenDialog> seen_;
};

TEST_F(ModalTest, BoxesCarryTheirCaptionTextAndOwner) {
  auto dialog = OpenDialog();
  EXPECT_EQ(dialog->MessageBox("Failed to open selected file!\nTry again."),
            static_cast<int>(IDOK));
  EXPECT_EQ(app_.MessageBox("Please select a file to be exported!", MB_ICONERROR),
            static_cast<int>(IDOK));
  ASSERT_EQ(seen_.size(), 2u);
  EXPECT_EQ(seen_[0].title, QStringLiteral("error"));
  EXPECT_EQ(seen_[0].text, QStringLiteral("Failed to open selected file!\nTry again."));
  EXPECT_EQ(seen_[0].icon, QMessageBox::NoIcon);
  EXPECT_EQ(seen_[0].parent, WidgetOf(*dialog));
  EXPECT_EQ(seen_[1].title, QStringLiteral("nuvhost"));
  EXPECT_EQ(seen_[1].icon, QMessageBox::Critical);
}

TEST_F(ModalTest, TheOpenDialogTakesATypedNameWithTheDefaultExtension) {
  auto dialog = OpenDialog();
  const std::filesystem::path folder = std::filesystem::temp_directory_path();
  answer = QString::fromStdString((folder / "typed-by-the-user").string());
  OpenFileName ofn;
  ofn.owner = dialog.get();
  ofn.filter = std::string_view(kBinFilter, sizeof kBinFilter);
  ofn.flags = OFN_EXPLORER;
  ofn.default_extension = "hex";
  ASSERT_TRUE(GetOpenFileName(ofn));
  EXPECT_EQ(ofn.FileName(), (folder / "typed-by-the-user.hex").string());
  ASSERT_EQ(seen_.size(), 1u);
  EXPECT_EQ(seen_[0].title, QStringLiteral("Open"));
  EXPECT_EQ(seen_[0].filters,
            (QStringList{QStringLiteral("bin files (*.bin)"), QStringLiteral("All Files (*)")}));
  EXPECT_EQ(seen_[0].suffix, QStringLiteral("hex"));
  EXPECT_EQ(seen_[0].accept, QFileDialog::AcceptOpen);
  // Without "file must exist" any name the user types is taken.
  EXPECT_EQ(seen_[0].mode, QFileDialog::AnyFile);
  EXPECT_EQ(seen_[0].parent, WidgetOf(*dialog));
}

TEST_F(ModalTest, SaveDialogsPromptBeforeOverwritingOnlyWhenAsked) {
  auto dialog = OpenDialog();
  answer = QString::fromStdString((std::filesystem::temp_directory_path() / "out.bin").string());
  FileDialog prompting(false, "bin", "", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       "BIN files(*.bin)|*.bin||", dialog.get());
  EXPECT_EQ(prompting.DoModal(), static_cast<int>(IDOK));
  FileDialog silent(false, "bin", "", OFN_HIDEREADONLY, "BIN files(*.bin)|*.bin||", dialog.get());
  EXPECT_EQ(silent.DoModal(), static_cast<int>(IDOK));
  ASSERT_EQ(seen_.size(), 2u);
  EXPECT_EQ(seen_[0].title, QStringLiteral("Save As"));
  EXPECT_EQ(seen_[0].accept, QFileDialog::AcceptSave);
  EXPECT_TRUE(seen_[0].confirms_overwrite);
  EXPECT_FALSE(seen_[1].confirms_overwrite);
  EXPECT_EQ(seen_[0].filters, QStringList{QStringLiteral("BIN files (*.bin)")});
}

TEST_F(ModalTest, ACancelledFileDialogChoosesNothing) {
  auto dialog = OpenDialog();
  FileDialog chooser(true, "", "", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                     "cfg bin files (*.bin)|*.bin|All Files (*.*)|*.*||", dialog.get());
  EXPECT_EQ(chooser.DoModal(), static_cast<int>(IDCANCEL));
  EXPECT_EQ(chooser.GetPathName(), "");
  ASSERT_EQ(seen_.size(), 1u);
  // An open dialog never asks about overwriting, whatever it was given.
  EXPECT_EQ(seen_[0].accept, QFileDialog::AcceptOpen);
}

TEST(QtFileFilterTest, FiltersBecomeQtNameFilters) {
  EXPECT_EQ(ToNameFilters({{"bin files (*.bin)", "*.bin"}, {"All Files (*.*)", "*.*"}}),
            (QStringList{QStringLiteral("bin files (*.bin)"), QStringLiteral("All Files (*)")}));
  EXPECT_EQ(ToNameFilters({{"Images", "*.png;*.jpg"}}),
            QStringList{QStringLiteral("Images (*.png *.jpg)")});
  EXPECT_EQ(ToNameFilters({{"", "*.txt"}}), QStringList{QStringLiteral("*.txt (*.txt)")});
  EXPECT_EQ(ToNameFilters({{"nothing", ""}, {"All   files   (*.*)", " *.* "}}),
            QStringList{QStringLiteral("All   files (*)")});
  EXPECT_EQ(ToNameFilters({}), QStringList{});
}

}  // namespace
}  // namespace nuv::fw::qt::testing
