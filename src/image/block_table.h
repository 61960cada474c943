#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "image/block_entry.h"
#include "image/image_buffer.h"

namespace nuv::image {

// All banks of a new-format image together hold at most this many blocks,
// so a block index fits in one byte everywhere.
inline constexpr size_t kMaxBlocks = 64;

// One block of a new-format image, in file order.
struct BlockRecord {
  BlockEntry entry;            // the 48 entry bytes as found in the header
  uint32_t header_offset = 0;  // image position of the DM header it came from
  uint32_t index_in_bank = 0;  // position of the entry within that header, from 0
  uint8_t bank = 0;            // number of that header in file order, from 1
  BlockData data;              // the block's `size` bytes
};

// The bytes of a record's data that its `size` covers: a record whose data
// is shorter than its size gives what it has.
inline std::span<const uint8_t> SizedData(const BlockRecord& record) {
  const std::span<const uint8_t> data = record.data.bytes();
  return data.first(std::min<size_t>(data.size(), record.entry.size()));
}

// The records in use, at most kMaxBlocks; records.size() is the block total.
struct BlockTable {
  std::vector<BlockRecord> records;

  uint16_t total() const { return static_cast<uint16_t>(records.size()); }
  void clear() { records.clear(); }
};

}  // namespace nuv::image
