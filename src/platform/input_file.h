#pragma once

#include <cstdint>
#include <filesystem>
#include <limits>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "platform/file_descriptor.h"
#include "platform/result.h"

namespace nuv::platform {

// A regular file open for reading. Opening never waits: a named pipe or a
// device is refused at once instead of blocking the tool until someone
// writes to it.
class InputFile {
 public:
  // The file, or why it cannot be read: it cannot be opened, or it is no
  // regular file (after following links).
  static Result<InputFile> Open(const std::filesystem::path& path);

  // The length the file had when it was opened.
  uint64_t size() const { return size_; }
  // The name it was opened by, for messages.
  const std::filesystem::path& path() const { return path_; }

  // Fills `bytes` from the current position; fewer when the file ends
  // first. nullopt on a read error.
  std::optional<size_t> ReadInto(std::span<uint8_t> bytes);

  // What the file holds from the current position to its end, at most
  // `limit` bytes. nullopt on a read error.
  std::optional<std::vector<uint8_t>> ReadAll(size_t limit = std::numeric_limits<size_t>::max());

 private:
  friend class MappedMemory;

  InputFile(FileDescriptor fd, uint64_t size, std::filesystem::path path)
      : fd_(std::move(fd)), size_(size), path_(std::move(path)) {}

  FileDescriptor fd_;
  uint64_t size_ = 0;
  std::filesystem::path path_;
};

// What the regular file at `path` holds, read whole; the file is closed
// again before this returns. Why not, when it cannot be opened (as
// InputFile::Open says) or a read fails.
Result<std::vector<uint8_t>> ReadWholeFile(const std::filesystem::path& path);

}  // namespace nuv::platform
