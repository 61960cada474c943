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

}  // namespace

std::string Printable(std::string_view text) {
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (PlainAscii(byte) && c != '\\')
      out.push_back(c);
    else
      AppendEscape(out, byte, false);
  }
  return out;
}

std::string Quoted(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (PlainAscii(byte) && c != '"' && c != '\\')
      out.push_back(c);
    else
      AppendEscape(out, byte, false);
  }
  return out + "\"";
}

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte == '"' || byte == '\\') {
      out.push_back('\\');
      out.push_back(c);
    } else if (PlainAscii(byte)) {
      out.push_back(c);
    } else {
      AppendEscape(out, byte, true);
    }
  }
  return out + "\"";
}

}  // namespace nuv::cli
