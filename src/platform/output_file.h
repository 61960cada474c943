#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "platform/result.h"

namespace nuv::platform {

// Why a file was not written; in each case the target is as it was.
enum class WriteError {
  // The target is a folder, a FIFO, a device or a socket (after following
  // links), a link that leads nowhere, or on Windows a read-only file.
  // Nothing was touched.
  kRefused,
  // No new file can be made beside the target (no such folder, no right to
  // write there, a path that names no file). Nothing was touched.
  kCannotCreate,
  // The bytes, their flush or the rename failed.
  kCannotWrite,
};

struct WriteFailure {
  WriteError kind = WriteError::kCannotWrite;
  std::string message;  // for the user, naming the path
};

using WriteResult = Result<void, WriteFailure>;

// Every file the tool writes for the user goes through here, so that a
// failure never leaves a half-written or emptied file behind. `bytes` become
// the whole content of `target`: they go to a new file with an unpredictable
// name in the target's folder, are flushed to the disk, and that file is
// renamed over the target; the folder is then flushed too. A target that is
// a symbolic link is written where the chain of links ends, and the links
// stay links. An existing file keeps its permission bits; a new one gets
// 0666 less the umask. A link that leads nowhere is refused rather than
// followed: creating a file wherever a link points is how a planted link
// gets a file written into someone else's folder.
WriteResult WriteFileReplacing(const std::filesystem::path& target, std::span<const uint8_t> bytes);

}  // namespace nuv::platform
