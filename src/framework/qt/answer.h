#pragma once

#include <QString>

class QFileDialog;

namespace nuv::fw::qt {

// Answers a file dialog that is up as a user would: types `typed` into its
// file name box and presses its accept button (Open or Save). A relative
// name is taken in the dialog's folder, and the dialog's default extension
// applies to a name without one. False when the dialog did not take the
// name (it stays up, as it would for a person).
bool AnswerFileDialog(QFileDialog& dialog, const QString& typed);

}  // namespace nuv::fw::qt
