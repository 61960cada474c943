#pragma once

#include <string>
#include <string_view>

#include "framework/geometry.h"

namespace nuv::fw {
class Window;
}

namespace nuv::drive {

// The pieces of transcript lines.

// A text as a transcript shows it: line breaks (\n, \r\n or \r) written as
// the two characters \n.
std::string TranscriptText(std::string_view text);

// "@L,T,R,B"
std::string RectText(const fw::Rect& rect);

// `control ID KIND "TEXT" [disabled] [checked] [sel=N] @L,T,R,B` for a
// control, its rectangle in its parent's client area.
std::string ControlLine(const fw::Window& control);

}  // namespace nuv::drive
