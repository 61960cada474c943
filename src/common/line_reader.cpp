#include "common/line_reader.h"

#include <cstdint>
#include <span>

namespace nuv::common {
namespace {

constexpr size_t kChunk = 65536;

}  // namespace

LineReader::OpenResult LineReader::Open(const std::filesystem::path& path) {
  Close();
  platform::Result<platform::InputFile> file = platform::InputFile::Open(path);
  if (!file.ok())
    return OpenResult::kNotOpened;
  Open(std::move(file.value()));
  return OpenResult::kOpened;
}

void LineReader::Open(platform::InputFile file) {
  Close();
  file_ = std::move(file);
  open_ = true;
}

void LineReader::OpenText(std::string text) {
  Close();
  buffer_ = std::move(text);
  open_ = true;
}

void LineReader::Close() {
  file_.reset();
  buffer_.clear();
  pos_ = 0;
  open_ = false;
  cut_short_ = false;
  line_number_ = 0;
}

bool LineReader::Fill() {
  if (pos_ < buffer_.size())
    return true;
  if (!file_)
    return false;
  buffer_.resize(kChunk);
  const std::optional<size_t> got = file_->ReadInto(
      std::span<uint8_t>(reinterpret_cast<uint8_t*>(buffer_.data()), buffer_.size()));
  buffer_.resize(got.value_or(0));
  pos_ = 0;
  if (buffer_.empty())
    file_.reset();
  return !buffer_.empty();
}

std::optional<char> LineReader::Peek() {
  if (!Fill())
    return std::nullopt;
  return buffer_[pos_];
}

std::optional<char> LineReader::Take() {
  std::optional<char> c = Peek();
  if (c)
    ++pos_;
  return c;
}

LineStatus LineReader::Next(std::string& line, size_t limit) {
  line.clear();
  if (!open_ || cut_short_)
    return LineStatus::kEnd;
  bool any = false;
  for (std::optional<char> c = Take(); c; c = Take()) {
    any = true;
    if (*c == '\n')
      break;
    if (*c == '\r' && Peek() == '\n') {
      Take();
      break;
    }
    if (line.size() == limit) {
      cut_short_ = true;
      break;
    }
    line += *c;
  }
  if (!any)
    return LineStatus::kEnd;
  ++line_number_;
  if (const size_t nul = line.find('\0'); nul != std::string::npos)
    line.resize(nul);
  return cut_short_ ? LineStatus::kTooLong : LineStatus::kLine;
}

}  // namespace nuv::common
