#include "framework/qt/qt_fonts.h"

#include <cmath>

namespace nuv::fw::qt {

QFont ToQFont(const Font& font) {
  QFont made(QString::fromLatin1(kUiFamily));
  const int points = font.point_size > 0 ? font.point_size : ShellDialogFont().point_size;
  made.setPixelSize(static_cast<int>(std::lround(points * 96.0 / 72.0)));
  made.setStretch(QFont::SemiCondensed);
  made.setWeight(font.weight >= 600 ? QFont::Bold : QFont::Normal);
  made.setItalic(font.italic);
  // Text is drawn the same on every machine: the screenshots made in CI are
  // the ones a person sees.
  made.setHintingPreference(QFont::PreferFullHinting);
  return made;
}

QFont DialogFont() {
  return ToQFont(ShellDialogFont());
}

}  // namespace nuv::fw::qt
