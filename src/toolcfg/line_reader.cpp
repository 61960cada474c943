#include "toolcfg/line_reader.h"

#include <fstream>
#include <sstream>

namespace nuv::toolcfg {

bool LineReader::Open(const std::filesystem::path& path) {
  Close();
  auto file = std::make_unique<std::ifstream>(path, std::ios::binary);
  if (!file->is_open())
    return false;
  in_ = std::move(file);
  return true;
}

void LineReader::OpenText(std::string text) {
  Close();
  in_ = std::make_unique<std::istringstream>(std::move(text), std::ios::binary);
}

void LineReader::Close() {
  in_.reset();
  cut_short_ = false;
  line_number_ = 0;
}

bool LineReader::Next(std::string& line) {
  line.clear();
  if (!in_ || cut_short_)
    return false;
  std::streambuf* buffer = in_->rdbuf();
  using Traits = std::char_traits<char>;
  bool any = false;
  for (Traits::int_type c = buffer->sbumpc(); !Traits::eq_int_type(c, Traits::eof());
       c = buffer->sbumpc()) {
    any = true;
    if (c == '\n')
      break;
    if (c == '\r' && buffer->sgetc() == '\n') {
      buffer->sbumpc();
      break;
    }
    if (line.size() == kMaxLine) {
      // The character that does not fit stays unread, like the rest of the file.
      cut_short_ = true;
      break;
    }
    line += Traits::to_char_type(c);
  }
  if (!any)
    return false;
  ++line_number_;
  return true;
}

}  // namespace nuv::toolcfg
