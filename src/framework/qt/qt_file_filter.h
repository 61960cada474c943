#pragma once

#include <QStringList>

#include "framework/file_names.h"

namespace nuv::fw::qt {

// A file dialog's filter as Qt's name filters: "text (pattern pattern)".
// A text that already ends in its patterns in parentheses has them
// replaced; patterns separated by ';' are listed with blanks between them,
// and "*.*" becomes "*", since on Windows it matches names without a dot
// too.
QStringList ToNameFilters(const FileFilter& filter);

}  // namespace nuv::fw::qt
