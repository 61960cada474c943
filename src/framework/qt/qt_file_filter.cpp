#include "framework/qt/qt_file_filter.h"

#include "framework/qt/qt_painter.h"

namespace nuv::fw::qt {

QStringList ToNameFilters(const FileFilter& filter) {
  QStringList filters;
  for (const auto& [text, pattern] : filter) {
    QString shown = ToQString(text).trimmed();
    if (shown.endsWith(QLatin1Char(')'))) {
      const qsizetype open = shown.lastIndexOf(QLatin1Char('('));
      if (open >= 0)
        shown = shown.left(open).trimmed();
    }
    QStringList patterns;
    for (const QString& one : ToQString(pattern).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
      const QString trimmed = one.trimmed();
      if (!trimmed.isEmpty())
        patterns.push_back(trimmed == QLatin1String("*.*") ? QStringLiteral("*") : trimmed);
    }
    if (patterns.isEmpty())
      continue;
    if (shown.isEmpty())
      shown = patterns.join(QLatin1Char(' '));
    filters.push_back(shown + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                      QLatin1Char(')'));
  }
  return filters;
}

}  // namespace nuv::fw::qt
