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

// What a modal dialog showed when it opened.
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

// Boxes are answered OK; file dialogs get `answer` typed in, or are
// cancelled when it is empty.
class ModalTest : public QtTest {
 protected:
  ModalTest() {
    backend_.SetModalHook([this](QDialog& dialog) {
      SeenDialog& seen = seen_.emplace_back();
      seen.title = dialog.windowTitle();
      seen.parent = dialog.parentWidget();
      if (auto* files = qobject_cast<QFileDialog*>(&dialog)) {
        seen.filters = files->nameFilters();
        seen.suffix = files->defaultSuffix();
        seen.accept = files->acceptMode();
        seen.mode = files->fileMode();
        seen.confirms_overwrite = !files->testOption(QFileDialog::DontConfirmOverwrite);
        if (answer.isEmpty() || !AnswerFileDialog(*files, answer))
          dialog.reject();
        return;
      }
      if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
        seen.text = box->text();
        seen.icon = box->icon();
      }
      dialog.accept();
    });
  }

  QString answer;
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

TEST_F(ModalTest, FileDialogsTakeATypedNameAndAskBeforeOverwritingOnlyWhenToldTo) {
  auto dialog = OpenDialog();
  const std::filesystem::path folder = std::filesystem::temp_directory_path();
  answer = QString::fromStdString((folder / "typed-by-the-user").string());
  constexpr char kBinFilter[] = "bin files (*.bin)\0*.bin\0All Files (*.*)\0*.*\0";
  OpenFileName ofn;
  ofn.owner = dialog.get();
  ofn.filter = std::string_view(kBinFilter, sizeof kBinFilter);
  ofn.flags = OFN_EXPLORER;
  ofn.default_extension = "hex";
  ASSERT_TRUE(GetOpenFileName(ofn));
  EXPECT_EQ(ofn.FileName(), (folder / "typed-by-the-user.hex").string());

  const char* const bin_filter = "BIN files(*.bin)|*.bin||";
  const uint32_t prompt = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
  EXPECT_EQ(FileDialog(false, "bin", "", prompt, bin_filter, dialog.get()).DoModal(),
            static_cast<int>(IDOK));
  EXPECT_EQ(FileDialog(false, "bin", "", OFN_HIDEREADONLY, bin_filter, dialog.get()).DoModal(),
            static_cast<int>(IDOK));
  // An open dialog never asks about overwriting, whatever it was given.
  answer.clear();
  FileDialog cancelled(true, "", "", prompt, bin_filter, dialog.get());
  EXPECT_EQ(cancelled.DoModal(), static_cast<int>(IDCANCEL));
  EXPECT_EQ(cancelled.GetPathName(), "");

  ASSERT_EQ(seen_.size(), 4u);
  EXPECT_EQ(seen_[0].title, QStringLiteral("Open"));
  EXPECT_EQ(seen_[0].filters,
            (QStringList{QStringLiteral("bin files (*.bin)"), QStringLiteral("All Files (*)")}));
  EXPECT_EQ(seen_[0].suffix, QStringLiteral("hex"));
  EXPECT_EQ(seen_[0].accept, QFileDialog::AcceptOpen);
  // Without "file must exist" any name the user types is taken.
  EXPECT_EQ(seen_[0].mode, QFileDialog::AnyFile);
  EXPECT_EQ(seen_[0].parent, WidgetOf(*dialog));
  EXPECT_EQ(seen_[1].title, QStringLiteral("Save As"));
  EXPECT_EQ(seen_[1].accept, QFileDialog::AcceptSave);
  EXPECT_EQ(seen_[1].filters, QStringList{QStringLiteral("BIN files (*.bin)")});
  EXPECT_TRUE(seen_[1].confirms_overwrite);
  EXPECT_FALSE(seen_[2].confirms_overwrite);
  EXPECT_EQ(seen_[3].accept, QFileDialog::AcceptOpen);
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
