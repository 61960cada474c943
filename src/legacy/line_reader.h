#pragma once

#include <cstddef>
#include <istream>
#include <string>

namespace nuv::legacy {

enum class LineStatus {
  kLine,     // a whole line (its end, LF or CR LF, removed)
  kTooLong,  // the line holds more than the limit: `line` has its first `limit` characters
  kEnd,      // end of the stream or a read failure: no line
};

// Reads the next line of a text file whose lines hold at most `limit`
// characters. The text is single-byte; like the C string it was always read
// into, a line ends at its first NUL byte. Of a line that is too long no
// more than limit + 2 characters are consumed, since every caller stops
// reading there.
LineStatus ReadLimitedLine(std::istream& in, size_t limit, std::string& line);

}  // namespace nuv::legacy
