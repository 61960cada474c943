#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/input_file.h"

namespace nuv::common {

enum class LineStatus {
  kLine,     // a whole line
  kTooLong,  // longer than the limit: the line holds its first `limit` characters
  kEnd,      // no more lines
};

// Reads a text file line by line the way the tool reads its scripts and
// hardware-info files, in text mode: a line ends at LF, a CR right before
// the LF is dropped and any other CR is text. The text is single-byte; like
// the C string it was always read into, a line ends at its first NUL byte.
// A line longer than the limit of its read is handed out cut to the limit,
// and reading then stops as if the file ended there. A read error ends the
// input as the end of the file does.
class LineReader {
 public:
  static constexpr size_t kMaxLine = 999;

  // kNotOpened when the file cannot be opened or is no regular file: a
  // folder, a device or a named pipe is never read, so opening never waits.
  enum class OpenResult { kOpened, kNotOpened };
  [[nodiscard]] OpenResult Open(const std::filesystem::path& path);
  // Reads lines out of a file the caller has opened, from its current position.
  void Open(platform::InputFile file);
  // Reads lines out of `text` instead of a file.
  void OpenText(std::string text);
  void Close();
  bool is_open() const { return open_; }

  // The next line into `line` (empty at the end).
  LineStatus Next(std::string& line, size_t limit = kMaxLine);

  // The last line handed out was too long and reading has stopped.
  bool cut_short() const { return cut_short_; }
  // Number of the last line handed out, from 1.
  size_t line_number() const { return line_number_; }

 private:
  // The next character, or nothing at the end of the input.
  std::optional<char> Take();
  std::optional<char> Peek();
  bool Fill();

  std::optional<platform::InputFile> file_;
  std::string buffer_;
  size_t pos_ = 0;
  bool open_ = false;
  bool cut_short_ = false;
  size_t line_number_ = 0;
};

}  // namespace nuv::common
