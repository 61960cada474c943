#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

namespace nuv::legacy {

enum class WriteStatus { kWritten, kCannotCreate, kWriteFailed };

// Writes `bytes` to a new temporary file beside `path` and renames it into
// place, so that readers never see a half-written file and a failure
// leaves an existing file at `path` as it was.
WriteStatus WriteFileReplacing(const std::filesystem::path& path, std::span<const uint8_t> bytes);

}  // namespace nuv::legacy
