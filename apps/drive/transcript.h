#pragma once

#include <string>
#include <string_view>

#include "framework/geometry.h"

namespace nuv::fw {
class ScrollArea;
class Window;
}  // namespace nuv::fw

namespace nuv::drive {

// The pieces of transcript lines.

// A text as a transcript shows it: line breaks (\n, \r\n or \r) written as
// the two characters \n.
std::string TranscriptText(std::string_view text);

// "@L,T,R,B"
std::string RectText(const fw::Rect& rect);

// `control ID KIND "TEXT" [disabled] [checked] [sel=N] @L,T,R,B` for a
// control, its rectangle in its parent's client area moved by `offset`.
std::string ControlLine(const fw::Window& control, fw::Point offset = {});

// What a scrolling area shows, in its parent's client area: while its
// contents do not fit, `area ID pos=P max=M @L,T,R,B` (scrolled P pixels
// down of at most M); then a control line for each visible control in it
// that can be seen there. One line after another, each ending in "\n".
std::string AreaLines(const fw::ScrollArea& area);

}  // namespace nuv::drive
