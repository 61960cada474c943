#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

namespace nuv::image {

// Writes `bytes` as the whole content of `path` so that a failure leaves an
// existing file as it was: the bytes go to a new temporary file beside it,
// are flushed to the disk, and the temporary file is then renamed over
// `path`. An existing file's permission bits are kept; a new file gets the
// usual 0666 less the umask. False when any step fails; no temporary file is
// left behind then.
bool WriteFileReplacing(const std::filesystem::path& path, std::span<const uint8_t> bytes);

}  // namespace nuv::image
