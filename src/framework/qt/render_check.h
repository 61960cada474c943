#pragma once

#include <string>
#include <vector>

#include <QImage>
#include <QRect>
#include <QWidget>

namespace nuv::fw::qt {

// Pixels inside `area` of `image` dark enough to be text: antialiased
// glyphs in black have dark cores, while the frames and fills of the style
// stay far lighter.
int DarkPixelCount(const QImage& image, const QRect& area);

// Checks a picture of `root` (as QWidget::grab made it) for texts that did
// not render: every visible, enabled label, button, check box, group box,
// edit and combo box below `root` whose text is not empty must have dark
// pixels inside the part of its rectangle that its parents let be seen.
// Returns one line per text that has none.
std::vector<std::string> FindUnrenderedTexts(const QWidget& root, const QImage& image);

}  // namespace nuv::fw::qt
