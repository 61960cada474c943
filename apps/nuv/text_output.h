#pragma once

#include <string>
#include <string_view>

namespace nuv::cli {

// Block names, times and script texts are raw bytes of an image or a
// script. These keep each one on its line, whatever it holds.

// Anything that is not printable ASCII, and the backslash, as \xNN.
std::string Printable(std::string_view text);

// In double quotes; anything that is not printable ASCII, the quote and the
// backslash as \xNN.
std::string Quoted(std::string_view text);

// A JSON string; bytes are taken as Latin-1, so the output is valid UTF-8
// whatever an image holds.
std::string JsonString(std::string_view text);

}  // namespace nuv::cli
