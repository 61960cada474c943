#include "framework/qt/answer.h"

#include <QFileDialog>
#include <QLineEdit>

namespace nuv::fw::qt {

bool AnswerFileDialog(QFileDialog& dialog, const QString& typed) {
  // The box has the focus while the dialog is up, and selectFile leaves a
  // box with the focus alone: the text goes in as typed.
  auto* box = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
  if (box != nullptr)
    box->setText(typed);
  else
    dialog.selectFile(typed);
  static_cast<QDialog&>(dialog).accept();  // QFileDialog's own accept
  return !dialog.isVisible();
}

}  // namespace nuv::fw::qt
