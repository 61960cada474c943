#pragma once

#include <QFont>

#include "framework/font.h"

namespace nuv::fw::qt {

// The one family the tool's windows are drawn with. The templates ask for
// "MS Shell Dlg" and tooltips for the status-bar font; neither exists here,
// and DejaVu Sans comes with every Debian machine (fonts-dejavu-core).
inline constexpr const char* kUiFamily = "DejaVu Sans";

// The font for a framework font. Sizes are in pixels (points at 96 dots per
// inch), never in points of the real screen, because dialog units are fixed
// pixels too: at 8 points DejaVu Sans is 11 pixels, 13 pixels from ascent to
// descent, and semi-condensed its letters average 6 pixels, the 6 x 13 base
// units the templates were laid out for.
QFont ToQFont(const Font& font);

// The font of every template of the tool ("MS Shell Dlg" 8 pt).
QFont DialogFont();

}  // namespace nuv::fw::qt
