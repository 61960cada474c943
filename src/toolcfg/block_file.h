#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "image/flash_image.h"
#include "support/messages.h"

namespace nuv::toolcfg {

// Block Save and Block Load: one block of a new-format image to or from a
// binary file. The block is named by the name and id a user picked; it is
// looked up in the table as it was right after the pre-parse (the
// snapshot), so blocks are found by what the loaded image says, whatever
// the import or an earlier load changed since.

// The first snapshot record whose name equals `name` in its first 8
// characters (the texts end at a zero byte) and whose id is `id`.
std::optional<size_t> FindPickedBlock(const image::BlockTable& snapshot, std::string_view name,
                                      uint8_t id);

enum class BlockFileResult {
  kDone,       // "The Block have been saved!"
  kNoPath,     // no file chosen
  kNotFound,   // "Save failed! Block name or ID can not find in flash!"
  kFileError,  // the file cannot be written, or read (its message says which)
};

// Writes the block's bytes as they are in the loaded image (not the working
// data) to `path`, replacing it whole or not at all. Messages: "Please
// select output file!", "error to save block bin  file " (also for a target
// that is no file: a folder, a pipe, a device), "error to write block bin
// file " (caption "error"); "Save failed! Block name or ID can not find in
// flash!" or "The Block have been saved!" (application).
[[nodiscard]] BlockFileResult SaveBlockFile(const image::FlashImage& image, std::string_view name,
                                            uint8_t id, std::string_view path, Messages& messages);

// Replaces the working record's data and size with the whole content of
// `path` (a larger file enlarges the block). Messages: "Please select load
// file!", "error to open load block bin  file " (also at once for a folder,
// a pipe or a device), "The load file is 0 bytes!", "no memery!", "error to
// load block bin  file " (caption "error"); then as SaveBlockFile.
[[nodiscard]] BlockFileResult LoadBlockFile(image::FlashImage& image, std::string_view name,
                                            uint8_t id, std::string_view path, Messages& messages);

}  // namespace nuv::toolcfg
