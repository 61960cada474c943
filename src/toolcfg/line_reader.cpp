#include "toolcfg/line_reader.h"

#include <fstream>
#include <sstream>

namespace nuv::toolcfg {

bool LineReader::Open(const std::filesystem::path& path) {
  Close();
  // A folder or a device at the script's place is no script: reading it
  // would fail half-way (or block), so it counts as a file that cannot be
  // opened.
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error))
    return false;
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
  read_failed_ = false;
  line_number_ = 0;
}

bool LineReader::Next(std::string& line) {
  try {
    return ReadLine(line);
  } catch (const std::ios_base::failure&) {
    // A read error ends the input where it happened, as the end of the file.
    read_failed_ = true;
    in_.reset();
    return !line.empty();
  }
}

bool LineReader::ReadLine(std::string& line) {
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
