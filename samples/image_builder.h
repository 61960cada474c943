#pragma once

// Builds flash images byte by byte for tests and sample generators, both
// well-formed ones and deliberately broken ones: every field can be given
// explicitly, and bytes that would fall outside the image are left out
// rather than refused, so entries and data may point anywhere.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace nuv::samples {

// One block: its 48-byte entry and its data.
struct BlockPlan {
  uint8_t id = 0;
  std::string name{};  // the first 8 characters are stored, NUL-padded
  std::vector<uint8_t> data{};
  uint32_t version = 0;
  std::string time{};  // the first 12 characters are stored, NUL-padded
  uint8_t tail_flag = 0;
  // The entry's crc; by default the block CRC of `data` (image::kNoCrc for
  // a block without CRC).
  std::optional<uint32_t> crc{};
  // Where the data goes: relative to the bank's DM header in a new-format
  // image, from the image start in a legacy image. By default right after
  // the previous block of the bank (or after the entries), rounded up to a
  // multiple of `align`.
  std::optional<uint32_t> offset{};
  uint32_t align = 4;
  // The entry's size; by default data.size().
  std::optional<uint32_t> size{};
  uint32_t reserved20 = 0;  // entry bytes 20..23, which nothing interprets
};

// One bank of a new-format image: a DM header and its blocks.
struct BankPlan {
  uint32_t header_offset = 0;  // image position of the header
  uint32_t sdram_size = 0;
  std::vector<BlockPlan> blocks{};
  std::optional<uint8_t> block_count{};  // the count byte; by default blocks.size()
  uint8_t marker = '0';                  // anything else makes the magic no header
  uint32_t reserved12 = 0;               // header bytes 12..15, which nothing interprets
  uint32_t reserved20 = 0;               // header bytes 20..23
};

struct NewFormatPlan {
  size_t length = 0x80000;  // a whole number of 512 KiB for a valid image
  uint8_t fill = 0xFF;      // erased flash
  std::vector<BankPlan> banks{};
};

struct LegacyPlan {
  size_t length = 0x100000;
  uint8_t fill = 0xFF;
  uint32_t dmh_offset = 0x1000;  // word at image offset 8
  // Stored as u32 words at header offsets 0 and 4; the tool reads only
  // bytes 0 and 2 (4 and 6): size = byte[2] * 65536 + byte[0].
  uint32_t sdram_size = 0;
  std::optional<uint32_t> flash_size{};     // by default `length`
  std::optional<uint8_t> entry_count{};     // header byte 8; by default blocks.size()
  uint32_t config_offset = 0x100;           // word at image offset 28
  std::vector<uint8_t> config{};            // written at config_offset
  std::optional<uint32_t> config_length{};  // word at offset 32; by default config.size()
  std::vector<BlockPlan> blocks{};          // offsets from the image start
};

struct BuiltImage {
  std::vector<uint8_t> bytes{};
  // Image position of each block's data, banks in order.
  std::vector<uint64_t> data_positions{};
};

BuiltImage BuildNewFormatImage(const NewFormatPlan& plan);
BuiltImage BuildLegacyImage(const LegacyPlan& plan);

// Deterministic filler for block data: the same seed gives the same bytes.
std::vector<uint8_t> PatternBytes(size_t count, uint32_t seed);
// The characters of `text` as bytes, without a terminator.
std::vector<uint8_t> TextBytes(std::string_view text);

// Writes `bytes` as the file `path` (for tests that hand a file to the
// tool). False when it cannot be written.
bool WriteBytesFile(const std::filesystem::path& path, std::span<const uint8_t> bytes);

}  // namespace nuv::samples
