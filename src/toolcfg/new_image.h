#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "image/block_table.h"
#include "image/flash_image.h"
#include "support/messages.h"

namespace nuv::toolcfg {

// The building of a new flash image from the working block table of a
// loaded new-format image, after the workbook has been imported into it:
// CRCs recomputed, blocks laid out bank by bank (grown blocks push the
// following ones up), every bank's DM header rebuilt. The new image has
// exactly the loaded image's length.

// The `header_offset` of the first record after record k, in table order,
// that lies in another bank (another header offset); 0 when k is not a
// record of the table or no such record follows.
uint32_t NextBankOffset(const image::BlockTable& table, size_t k);

// Rewrites the DM header of record k's bank in `out`, at record k's
// `header_offset` h as it is now: the 28 head bytes come from `loaded` at
// `head_from` (where the bank's header was in the loaded image), then the
// entry of every record of k's bank follows, in table order, as the working
// records stand (new CRC, offset, size). Bytes that would fall outside
// `out` (or be read outside `loaded`) are left out; nothing is written
// outside the buffers.
void RebuildBankHeader(std::span<uint8_t> out, std::span<const uint8_t> loaded,
                       const image::BlockTable& table, size_t k, uint32_t head_from);

// Blocks 0xA4 and 0xA8 are read by the boot code from a 64 KiB boundary of
// their bank: the layout starts them on one.
inline constexpr uint32_t kBlockAlignment = 0x10000;
constexpr bool IsAlignedBlock(uint8_t block_id) {
  return block_id == 0xA4 || block_id == 0xA8;
}

// Texts of the layout's failures (application boxes).
inline constexpr std::string_view kBootloaderOutOfRange = "Error: bootloader out of range";
inline constexpr std::string_view kOutOfRange = "Error: file too large, out of range.";

// Lays the working records out into a copy of `loaded` (the first
// `image_length` bytes; missing ones are zero):
//  - each record's crc becomes the CRC-32 of its data, unless it is "NCRC";
//  - ids 0xA4 and 0xA8 start on a 64 KiB boundary of their bank;
//  - when the second bank begins, the first bank's blocks must end before
//    the second bank's header ("Error: bootloader out of range");
//  - a bank whose predecessor grew past its header moves up behind it;
//  - a block that ends after the next block's start pushes that one up;
//  - a block past `image_length` is refused ("Error: file too large, out
//    of range.");
//  - the data goes to header_offset + offset, and each bank's header is
//    rebuilt when the bank is done. A bank's header keeps its 28 head bytes
//    from where the bank started in the loaded image, also when it moved.
// The changed CRCs, offsets and header offsets stay in `table`, also after
// a failure. Empty after a failure (its message has been shown).
std::optional<std::vector<uint8_t>> LayOutNewImage(image::BlockTable& table,
                                                   std::span<const uint8_t> loaded,
                                                   uint32_t image_length, Messages& messages);

enum class NewImageResult {
  kWritten,     // "The New Flash File Created Successful!"
  kNotLaidOut,  // the blocks do not fit (LayOutNewImage's message)
  kNotWritten,  // "Error: Generate new flash failed"
};

// Lays the working records of `image` out (LayOutNewImage) and writes the
// new image as the whole content of the file `path` (a Windows-style name
// is mapped as the platform maps it), through a temporary file beside it,
// so a failure leaves an existing file as it was. Its messages are
// application boxes.
[[nodiscard]] NewImageResult WriteNewImage(image::FlashImage& image, std::string_view path,
                                           Messages& messages);

}  // namespace nuv::toolcfg
