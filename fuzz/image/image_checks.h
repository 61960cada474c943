#pragma once

// What must hold for any bytes read as a flash image, shared by the two
// Pre-Parse targets: a new-format image that turns out to be none is read as
// a legacy image, exactly as Pre-Parse does it.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "fuzz_check.h"
#include "image/block_entry.h"
#include "image/grid_row.h"
#include "image/legacy_header.h"
#include "support/messages.h"

namespace nuv::image::fuzz {

using nuv::fuzz::Check;

inline uint32_t Word(std::span<const uint8_t> bytes, size_t pos) {
  return uint32_t{bytes[pos]} | uint32_t{bytes[pos + 1]} << 8 | uint32_t{bytes[pos + 2]} << 16 |
         uint32_t{bytes[pos + 3]} << 24;
}

inline bool IsHex(std::string_view text) {
  return text.find_first_not_of("0123456789ABCDEF") == std::string_view::npos;
}

inline uint32_t HexValue(std::string_view text) {
  uint32_t value = 0;
  for (const char c : text)
    value = value * 16 + static_cast<uint32_t>(c <= '9' ? c - '0' : c - 'A' + 10);
  return value;
}

// A fixed-width text field: no NUL, at most `width` characters, and the
// field's bytes begin with it.
inline void CheckFixedText(const std::string& text, std::span<const uint8_t> field) {
  Check(text.size() <= field.size());
  Check(text.find('\0') == std::string::npos);
  Check(text.size() == field.size() || field[text.size()] == 0);
  for (size_t i = 0; i < text.size(); ++i)
    Check(static_cast<uint8_t>(text[i]) == field[i]);
}

// The grid row of an entry holds the entry's own values, and its cells
// read back as them.
inline void CheckRow(const GridRow& row, const BlockEntry& entry) {
  Check(row.block_id == entry.block_id() && row.size == entry.size() && row.crc == entry.crc() &&
        row.version == entry.version());
  const GridCellTexts cells = FormatGridRow(row);
  const std::string& id = cells[kColumnId];
  Check(id.size() == 2 && IsHex(id) && HexValue(id) == entry.block_id());
  const std::string_view size = cells[kColumnSize];
  const size_t digits = size.find_first_not_of(' ');
  Check(size.size() == 8 && digits != std::string_view::npos);
  Check(IsHex(size.substr(digits)) && HexValue(size.substr(digits)) == entry.size());
  for (const auto& [column, value] :
       {std::pair{kColumnCrc, entry.crc()}, std::pair{kColumnVersion, entry.version()}}) {
    const std::string& cell = cells[column];
    Check(cell.size() == 8 && IsHex(cell) && HexValue(cell) == value);
  }
  Check(cells[kColumnName] == row.name && cells[kColumnTime] == row.time);
  CheckFixedText(row.name, std::span(entry.bytes()).subspan(24, 8));
  CheckFixedText(row.time, std::span(entry.bytes()).subspan(32, 12));
}

// The rows Pre-Parse shows for these entries, and the software version an
// "ssdata" block gives: its data bytes up to a NUL, at most 16, none from
// beyond the image.
inline void CheckRowAndVersion(std::span<const uint8_t> image, const BlockEntry& entry,
                               uint64_t data_pos) {
  CheckRow(MakeGridRow(entry), entry);
  if (!IsSoftwareVersionBlock(entry))
    return;
  const std::string version = SoftwareVersionAt(image, data_pos);
  if (data_pos >= image.size()) {
    Check(version.empty());
    return;
  }
  const auto start = static_cast<size_t>(data_pos);
  const size_t available = std::min(kSoftwareVersionLength, image.size() - start);
  CheckFixedText(version, image.subspan(start, available));
}

// ReadLegacyHeader on any bytes: either the header with every value as the
// bytes hold it and no message, or nothing and exactly one message.
inline void CheckLegacy(std::span<const uint8_t> image) {
  RecordedMessages messages;
  const std::optional<LegacyHeader> header = ReadLegacyHeader(image, messages);
  if (!header) {
    Check(messages.shown().size() == 1);
    Check(messages.shown()[0].first == BoxCaption::Error);
    const std::string& text = messages.shown()[0].second;
    Check(text.starts_with("Wrong bin file") || text == "Too many blocks!");
    return;
  }
  Check(messages.shown().empty());
  const size_t size = image.size();
  Check(header->dmh_offset == Word(image, kLegacyDmhOffsetPos));
  Check(header->config_length == Word(image, kLegacyConfigLengthPos));
  Check(header->dmh_offset <= size && header->config_length <= size);
  Check(size - header->dmh_offset >= kLegacyEntriesPos);
  const std::span<const uint8_t> fixed = image.subspan(header->dmh_offset);
  Check(header->sdram_size ==
        uint32_t{fixed[kLegacySdramHighPos]} * 65536 + fixed[kLegacySdramLowPos]);
  Check(header->flash_size == size);
  Check(header->entries.size() == fixed[kLegacyCountPos]);
  Check(header->entries.size() <= kLegacyMaxEntries);
  for (size_t k = 0; k < header->entries.size(); ++k) {
    const BlockEntry& entry = header->entries[k];
    const size_t at = kLegacyEntriesPos + k * kBlockEntrySize;
    Check(at + kBlockEntrySize <= fixed.size());
    Check(std::equal(entry.bytes().begin(), entry.bytes().end(), fixed.begin() + at));
    if (entry.size() != 0)
      Check(entry.offset() <= size && entry.size() <= size - entry.offset());
    CheckRowAndVersion(image, entry, entry.offset());
  }
  // What Export would write lies inside the image, or is refused.
  const auto region = LegacyConfigRegion(image, header->config_length);
  if (region) {
    Check(region->size() == header->config_length);
    Check(region->data() >= image.data() &&
          region->data() + region->size() <= image.data() + image.size());
    Check(static_cast<size_t>(region->data() - image.data()) ==
          Word(image, kLegacyConfigOffsetPos));
  }
}

}  // namespace nuv::image::fuzz
