#include "image_builder.h"

#include <algorithm>
#include <fstream>

#include "image/block_entry.h"
#include "image/crc32.h"
#include "image/dm_header.h"
#include "image/legacy_header.h"

namespace nuv::samples {
namespace {

// Writes what fits of `bytes` at image position `pos`.
void Put(std::vector<uint8_t>& image, uint64_t pos, std::span<const uint8_t> bytes) {
  if (pos >= image.size())
    return;
  const size_t count = static_cast<size_t>(std::min<uint64_t>(bytes.size(), image.size() - pos));
  std::copy_n(bytes.begin(), count, image.begin() + static_cast<std::ptrdiff_t>(pos));
}

void PutWord(std::vector<uint8_t>& image, uint64_t pos, uint32_t value) {
  const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                            static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
  Put(image, pos, bytes);
}

void PutText(std::vector<uint8_t>& image, uint64_t pos, std::string_view text, size_t width) {
  std::vector<uint8_t> field(width, 0);
  std::copy_n(text.begin(), std::min(text.size(), width), field.begin());
  Put(image, pos, field);
}

uint64_t RoundUp(uint64_t value, uint32_t align) {
  return align <= 1 ? value : (value + align - 1) / align * align;
}

uint32_t BlockCrc(const std::vector<uint8_t>& data) {
  return image::UpdateCrc(image::kCrcStart, data);
}

// Writes the entries of `blocks` from `entries_pos` and their data. Data
// positions count from `base`; default offsets start after the entries.
// Returns the image positions of the data.
std::vector<uint64_t> PutBlocks(std::vector<uint8_t>& image, uint64_t base, uint64_t entries_pos,
                                const std::vector<BlockPlan>& blocks) {
  std::vector<uint64_t> positions;
  uint64_t next = entries_pos + blocks.size() * image::kBlockEntrySize - base;
  for (size_t k = 0; k < blocks.size(); ++k) {
    const BlockPlan& block = blocks[k];
    const uint64_t offset = block.offset ? *block.offset : RoundUp(next, block.align);
    const uint64_t entry = entries_pos + k * image::kBlockEntrySize;
    Put(image, entry, std::vector<uint8_t>{block.id, block.tail_flag, 0, 0});
    PutWord(image, entry + 4, static_cast<uint32_t>(offset));
    PutWord(image, entry + 8, block.size ? *block.size : static_cast<uint32_t>(block.data.size()));
    PutWord(image, entry + 12, block.crc ? *block.crc : BlockCrc(block.data));
    PutWord(image, entry + 16, block.version);
    PutWord(image, entry + 20, block.reserved20);
    PutText(image, entry + 24, block.name, 8);
    PutText(image, entry + 32, block.time, 12);
    PutWord(image, entry + 44, 0);
    Put(image, base + offset, block.data);
    positions.push_back(base + offset);
    next = offset + block.data.size();
  }
  return positions;
}

}  // namespace

BuiltImage BuildNewFormatImage(const NewFormatPlan& plan) {
  BuiltImage built;
  built.bytes.assign(plan.length, plan.fill);
  for (const BankPlan& bank : plan.banks) {
    const uint64_t at = bank.header_offset;
    std::vector<uint8_t> fixed(image::kDmHeaderFixedSize, 0);
    std::copy(image::kDmMagic.begin(), image::kDmMagic.end(), fixed.begin());
    fixed[image::kDmBlockCountOffset] =
        bank.block_count ? *bank.block_count : static_cast<uint8_t>(bank.blocks.size());
    fixed[image::kDmMarkerOffset] = bank.marker;
    Put(built.bytes, at, fixed);
    PutWord(built.bytes, at + 12, bank.reserved12);
    PutWord(built.bytes, at + image::kDmSdramSizeOffset, bank.sdram_size);
    PutWord(built.bytes, at + 20, bank.reserved20);
    const std::vector<uint64_t> positions =
        PutBlocks(built.bytes, at, at + image::kDmEntriesOffset, bank.blocks);
    built.data_positions.insert(built.data_positions.end(), positions.begin(), positions.end());
  }
  return built;
}

BuiltImage BuildLegacyImage(const LegacyPlan& plan) {
  BuiltImage built;
  built.bytes.assign(plan.length, plan.fill);
  std::vector<uint8_t>& image = built.bytes;
  PutWord(image, image::kLegacyDmhOffsetPos, plan.dmh_offset);
  PutWord(image, image::kLegacyConfigOffsetPos, plan.config_offset);
  PutWord(image, image::kLegacyConfigLengthPos,
          plan.config_length ? *plan.config_length : static_cast<uint32_t>(plan.config.size()));
  Put(image, plan.config_offset, plan.config);

  const uint64_t header = plan.dmh_offset;
  PutWord(image, header + image::kLegacySdramLowPos, plan.sdram_size);
  PutWord(image, header + image::kLegacyFlashLowPos,
          plan.flash_size ? *plan.flash_size : static_cast<uint32_t>(plan.length));
  PutWord(image, header + image::kLegacyCountPos,
          plan.entry_count ? *plan.entry_count : static_cast<uint8_t>(plan.blocks.size()));
  built.data_positions = PutBlocks(image, 0, header + image::kLegacyEntriesPos, plan.blocks);
  return built;
}

std::vector<uint8_t> PatternBytes(size_t count, uint32_t seed) {
  std::vector<uint8_t> bytes(count);
  uint32_t state = seed * 2654435761u + 1;
  for (uint8_t& b : bytes) {
    state = state * 1664525u + 1013904223u;
    b = static_cast<uint8_t>(state >> 24);
  }
  return bytes;
}

std::vector<uint8_t> TextBytes(std::string_view text) {
  return std::vector<uint8_t>(text.begin(), text.end());
}

bool WriteBytesFile(const std::filesystem::path& path, std::span<const uint8_t> bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  out.close();
  return static_cast<bool>(out);
}

}  // namespace nuv::samples
