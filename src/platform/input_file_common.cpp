// Reading a whole file on top of the system's own reads (input_file.cpp,
// input_file_win32.cpp).
#include <algorithm>

#include "platform/input_file.h"

namespace nuv::platform {
namespace {

// How much more to ask for once the file holds more than it said.
constexpr size_t kGrowth = 65536;

}  // namespace

std::optional<std::vector<uint8_t>> InputFile::ReadAll(size_t limit) {
  std::vector<uint8_t> bytes;
  for (;;) {
    const size_t have = bytes.size();
    const uint64_t said = size_ > have ? size_ - have : 0;
    const size_t want =
        static_cast<size_t>(std::min<uint64_t>(limit - have, std::max<uint64_t>(said, kGrowth)));
    if (want == 0)
      return bytes;
    bytes.resize(have + want);
    const std::optional<size_t> got = ReadInto(std::span<uint8_t>(bytes).subspan(have));
    if (!got)
      return std::nullopt;
    bytes.resize(have + *got);
    if (*got < want)
      return bytes;
  }
}

Result<std::vector<uint8_t>> ReadWholeFile(const std::filesystem::path& path) {
  Result<InputFile> in = InputFile::Open(path);
  if (!in.ok())
    return in.failure();
  std::optional<std::vector<uint8_t>> bytes = in.value().ReadAll();
  if (!bytes)
    return Failure{"a read failed"};
  return *std::move(bytes);
}

}  // namespace nuv::platform
