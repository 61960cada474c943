#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "image/block_entry.h"
#include "image/block_table.h"
#include "image/image_buffer.h"

namespace nuv::image {

// An image file is a whole number of these (512 KiB).
inline constexpr size_t kImageLengthUnit = 0x80000;
// Positions and lengths of an image are u32 everywhere, so a larger file
// cannot be an image.
inline constexpr size_t kMaxImageLength = 0xFFFFFFFF;
inline constexpr std::string_view kTooLargeText = "The flash file is too large!";

// What Pre-Parse recognised the loaded image as; None before the first.
enum class ImageKind { None, NewFormat, Legacy };

// The loaded image and what was read from it. The main form owns one; every
// other part of the tool reads or changes it through the form.
struct FlashImage {
  std::shared_ptr<ImageBuffer> image;  // the whole file; null when nothing is loaded
  ImageKind kind = ImageKind::None;    // set by Pre-Parse
  uint32_t sdram_size = 0;             // shown as a signed decimal
  uint32_t flash_size = 0;             // new format: the image length
  uint32_t block_number = 0;
  std::string software_version;  // from the "ssdata" block
  std::string script_path;       // legacy configuration script, or empty
  bool expert = false;           // "Experts Only" was checked at the last Pre-Parse

  // Legacy images only.
  uint32_t dmh_offset = 0;
  uint32_t config_length = 0;
  std::vector<BlockEntry> legacy_entries;  // copy of the header's entries

  // New-format images only.
  BlockTable table;
  BlockTable snapshot;  // the table right after the scan
  uint32_t image_length = 0;

  std::span<const uint8_t> bytes() const {
    return image ? image->bytes() : std::span<const uint8_t>();
  }
  // Write access to the image bytes, for the legacy flow. Block records that
  // still share the image are detached first, so they keep their own bytes.
  std::span<uint8_t> mutable_bytes();

  // Releases everything loaded (Cancel): entry table, block table with every
  // record's data, snapshot, image buffer; block total and image length 0.
  void Release();
};

}  // namespace nuv::image
