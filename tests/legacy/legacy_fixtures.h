#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/bytes.h"
#include "image/block_entry.h"
#include "image/flash_image.h"
#include "image/image_buffer.h"
#include "legacy/script_model.h"
#include "legacy/script_parser.h"
#include "support/messages.h"
#include "test_files.h"

namespace nuv::legacy::testing {

// A legacy block entry with the fields Generate and the field edit dialog use.
inline image::BlockEntry Entry(uint8_t id, uint32_t offset, uint32_t size, uint32_t crc = 0,
                               uint8_t tail_flag = 0) {
  std::array<uint8_t, image::kBlockEntrySize> bytes{};
  bytes[0] = id;
  bytes[1] = tail_flag;
  bytes[44] = 0xEE;  // a byte nobody interprets, which must survive
  image::BlockEntry entry{std::span<const uint8_t, image::kBlockEntrySize>(bytes)};
  entry.set_offset(offset);
  entry.set_size(size);
  entry.set_crc(crc);
  return entry;
}

// A loaded legacy image as Pre-Parse leaves it: the buffer filled with a
// byte pattern that tells every position apart, the three words at 8, 28
// and 32, the header at dmh_offset with its entries, and the entry table.
struct LegacyLayout {
  size_t size = 0x80000;
  uint32_t dmh_offset = 0x100;
  uint32_t config_offset = 0x1000;
  uint32_t config_length = 0x400;
  std::vector<image::BlockEntry> entries;
};

inline uint8_t Pattern(size_t pos) {
  return static_cast<uint8_t>((pos * 7 + pos / 251) & 0xFF);
}

inline image::FlashImage MakeImage(const LegacyLayout& layout) {
  image::FlashImage image;
  image.image = image::ImageBuffer::Allocate(layout.size);
  auto bytes = image.image->bytes();
  for (size_t i = 0; i < bytes.size(); ++i)
    bytes[i] = Pattern(i);
  EXPECT_EQ(common::WriteU32(bytes, 8, layout.dmh_offset), common::BoundedWrite::kWritten);
  EXPECT_EQ(common::WriteU32(bytes, 28, layout.config_offset), common::BoundedWrite::kWritten);
  EXPECT_EQ(common::WriteU32(bytes, 32, layout.config_length), common::BoundedWrite::kWritten);
  size_t at = layout.dmh_offset + 12;
  for (const auto& entry : layout.entries) {
    std::copy(entry.bytes().begin(), entry.bytes().end(), bytes.begin() + static_cast<long>(at));
    at += image::kBlockEntrySize;
  }
  image.flash_size = static_cast<uint32_t>(layout.size);
  image.block_number = static_cast<uint32_t>(layout.entries.size());
  image.dmh_offset = layout.dmh_offset;
  image.config_length = layout.config_length;
  image.legacy_entries = layout.entries;
  return image;
}

inline std::optional<std::vector<ScriptBlock>> ParseText(const std::string& text,
                                                         uint32_t flash_size,
                                                         RecordedMessages& messages) {
  common::LineReader lines;
  lines.OpenText(text);
  return ParseLegacyScriptLines(lines, flash_size, messages);
}

using nuv::test::TempFolder;

}  // namespace nuv::legacy::testing
