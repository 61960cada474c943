#include "text_output.h"

#include <cstdio>

namespace nuv::cli {
namespace {

bool PlainAscii(unsigned char byte) {
  return byte >= 0x20 && byte < 0x7F;
}

// A byte as \xNN, or as \u00NN in JSON.
void AppendEscape(std::string& out, unsigned char byte, bool json) {
  char escaped[8];
  if (json)
    std::snprintf(escaped, sizeof escaped, "\\u%04X", byte);
  else
    std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
  out += escaped;
}

// The one escaper behind the three forms: a quote is special only inside
// quotes, the backslash always; JSON escapes specials with a backslash and
// other bytes as \u00NN, the others every byte as \xNN.
std::string Escaped(std::string_view text, bool quoted, bool json) {
  std::string out = quoted ? "\"" : "";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    const bool special = c == '\\' || (quoted && c == '"');
    if (PlainAscii(byte) && !special) {
      out.push_back(c);
    } else if (json && special) {
      out.push_back('\\');
      out.push_back(c);
    } else {
      AppendEscape(out, byte, json);
    }
  }
  return quoted ? out + "\"" : out;
}

}  // namespace

std::string Printable(std::string_view text) {
  return Escaped(text, false, false);
}

std::string Quoted(std::string_view text) {
  return Escaped(text, true, false);
}

std::string JsonString(std::string_view text) {
  return Escaped(text, true, true);
}

}  // namespace nuv::cli
