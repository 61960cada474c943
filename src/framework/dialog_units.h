#pragma once

#include "framework/geometry.h"

namespace nuv::fw {

// Win32's MulDiv: a * b / c with a 64-bit intermediate, rounded half away
// from zero; -1 when c is 0 or the result does not fit an int.
int MulDiv(int a, int b, int c);

// Dialog templates place controls in dialog units of the dialog's font. The
// tool's font, "MS Shell Dlg" at 8 points, has fixed base units of 6 x 13
// pixels, so a horizontal unit is 6/4 pixel and a vertical unit 13/8 pixel.
inline constexpr int kBaseUnitX = 6;
inline constexpr int kBaseUnitY = 13;

int DialogUnitsToPixelsX(int x);
int DialogUnitsToPixelsY(int y);

// Converts a rectangle given in dialog units (left, top, right, bottom) to
// pixels, each edge on its own as Win32's MapDialogRect does.
Rect MapDialogRect(const Rect& dialog_units);

// A template position (x, y, width, height in dialog units) as a pixel
// rectangle.
Rect TemplateRectToPixels(int x, int y, int cx, int cy);

}  // namespace nuv::fw
