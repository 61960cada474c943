#include "framework/qt/offscreen.h"

#include <cstdlib>
#include <iostream>

#include <QString>
#include <QtGlobal>

namespace nuv::fw::qt {
namespace {

void PassOverPlatformNotes(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type == QtWarningMsg && (text.startsWith(QStringLiteral("This plugin does not support")) ||
                               text.startsWith(QStringLiteral("QStandardPaths: XDG_RUNTIME_DIR"))))
    return;
  std::cerr << qPrintable(qFormatLogMessage(type, context, text)) << "\n";
}

}  // namespace

void UseOffscreenPlatform() {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr)
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  qInstallMessageHandler(PassOverPlatformNotes);
}

}  // namespace nuv::fw::qt
