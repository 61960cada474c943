#pragma once

#include <cstddef>
#include <filesystem>
#include <istream>
#include <memory>
#include <string>

namespace nuv::toolcfg {

// Reads a text file line by line the way the tool reads its scripts: a line
// ends at LF, a CR right before the LF is dropped (text mode), and at most
// kMaxLine characters of a line are read. A longer line is handed out cut
// to its first kMaxLine characters, and reading then stops as if the file
// ended there (cut_short() tells it happened).
class LineReader {
 public:
  static constexpr size_t kMaxLine = 999;

  // False when the file cannot be opened for reading (or is no regular file).
  bool Open(const std::filesystem::path& path);
  // Reads lines out of `text` instead of a file.
  void OpenText(std::string text);
  void Close();
  bool is_open() const { return in_ != nullptr; }

  // The next line into `line`; false at the end of the input.
  bool Next(std::string& line);

  // The last line handed out was longer than kMaxLine and reading has stopped.
  bool cut_short() const { return cut_short_; }
  // Reading stopped early because the file could not be read further.
  bool read_failed() const { return read_failed_; }
  // Number of the last line handed out, from 1.
  size_t line_number() const { return line_number_; }

 private:
  bool ReadLine(std::string& line);

  std::unique_ptr<std::istream> in_;
  bool cut_short_ = false;
  bool read_failed_ = false;
  size_t line_number_ = 0;
};

}  // namespace nuv::toolcfg
