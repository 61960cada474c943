#include "legacy/line_reader.h"

namespace nuv::legacy {

LineStatus ReadLimitedLine(std::istream& in, size_t limit, std::string& line) {
  line.clear();
  std::streambuf* buffer = in.rdbuf();
  if (!in.good() || buffer == nullptr) {
    in.setstate(std::ios::failbit);
    return LineStatus::kEnd;
  }
  bool ended = false;  // by a line feed, not by the end of the stream
  bool any = false;
  while (line.size() <= limit + 1) {
    const auto c = buffer->sbumpc();
    if (c == std::char_traits<char>::eof()) {
      in.setstate(std::ios::eofbit);
      break;
    }
    any = true;
    if (c == '\n') {
      ended = true;
      break;
    }
    line.push_back(std::char_traits<char>::to_char_type(c));
  }
  if (!any) {
    in.setstate(std::ios::failbit);
    return LineStatus::kEnd;
  }
  const bool complete = ended || in.eof();
  if (complete && !line.empty() && line.back() == '\r')
    line.pop_back();
  const bool too_long = line.size() > limit;
  if (too_long)
    line.resize(limit);
  if (const size_t nul = line.find('\0'); nul != std::string::npos)
    line.resize(nul);
  return too_long ? LineStatus::kTooLong : LineStatus::kLine;
}

}  // namespace nuv::legacy
