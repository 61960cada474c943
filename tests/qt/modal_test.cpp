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

// Writes down what each modal dialog shows, one line each; answers boxes
// OK, and file dialogs with `answer` typed in (cancelled when it is empty).
class ModalTest : public QtTest {
 protected:
  ModalTest() {
    backend_.SetModalHook([this](QDialog& dialog) {
      std::string line = dialog.windowTitle().toStdString();
      if (dialog.parentWidget() != nullptr && dialog.parentWidget() == owner)
        line += " (owned)";
      if (auto* files = qobject_cast<QFileDialog*>(&dialog)) {
        if (files->acceptMode() == QFileDialog::AcceptSave) {
          line += files->testOption(QFileDialog::DontConfirmOverwrite) ? " save" : " save, asks";
        } else {
          // Without "file must exist" any name the user types is taken.
          line += files->fileMode() == QFileDialog::AnyFile ? " open any" : " open";
        }
        line += " ." + files->defaultSuffix().toStdString() + " " +
                files->nameFilters().join(QStringLiteral(";")).toStdString();
        seen.push_back(line);
        if (answer.isEmpty() || !AnswerFileDialog(*files, answer))
          dialog.reject();
        return;
      }
      if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
        line += ": " + box->text().toStdString();
        if (box->icon() != QMessageBox::NoIcon)
          line += box->icon() == QMessageBox::Critical ? " [critical]" : " [other icon]";
        if (box->standardButtons() == (QMessageBox::Yes | QMessageBox::No)) {
          seen.push_back(line + " [yes/no]");
          box->button(click)->click();
          return;
        }
      }
      seen.push_back(line);
      dialog.accept();
    });
  }

  QWidget* owner = nullptr;
  QString answer;
  QMessageBox::StandardButton click = QMessageBox::Yes;  // in a box with Yes and No
  Log seen;
};

TEST_F(ModalTest, BoxesCarryTheirCaptionTextAndOwner) {
  auto dialog = OpenDialog();
  owner = WidgetOf(*dialog);
  EXPECT_EQ(dialog->MessageBox("Failed to open selected file!\nTry again."),
            static_cast<int>(IDOK));
  EXPECT_EQ(app_.MessageBox("Please select a file to be exported!", MB_ICONERROR),
            static_cast<int>(IDOK));
  EXPECT_EQ(seen, (Log{"error (owned): Failed to open selected file!\nTry again.",
                       "nuvhost: Please select a file to be exported! [critical]"}));
}

TEST_F(ModalTest, AQuestionHasYesAndNoAndAnswersWithTheButtonClicked) {
  EXPECT_EQ(app_.MessageBox("Replace it?", MB_YESNO | MB_ICONEXCLAMATION), static_cast<int>(IDYES));
  click = QMessageBox::No;
  EXPECT_EQ(app_.MessageBox("Replace it?", MB_YESNO), static_cast<int>(IDNO));
  EXPECT_EQ(seen,
            (Log{"nuvhost: Replace it? [other icon] [yes/no]", "nuvhost: Replace it? [yes/no]"}));
}

TEST_F(ModalTest, FileDialogsTakeATypedNameAndAskBeforeOverwritingOnlyWhenToldTo) {
  auto dialog = OpenDialog();
  owner = WidgetOf(*dialog);
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
  answer.clear();
  FileDialog cancelled(true, "", "", prompt, bin_filter, dialog.get());
  EXPECT_EQ(cancelled.DoModal(), static_cast<int>(IDCANCEL));
  EXPECT_EQ(cancelled.GetPathName(), "");
  EXPECT_EQ(seen, (Log{"Open (owned) open any .hex bin files (*.bin);All Files (*)",
                       "Save As (owned) save, asks .bin BIN files (*.bin)",
                       "Save As (owned) save .bin BIN files (*.bin)",
                       "Open (owned) open any . BIN files (*.bin)"}));
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
