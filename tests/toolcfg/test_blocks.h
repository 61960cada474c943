#pragma once

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "image/block_table.h"
#include "image/flash_image.h"
#include "image/image_buffer.h"
#include "platform/paths.h"

namespace nuv::toolcfg::testing {

// A block record with the given id and name whose data holds `data`.
inline image::BlockRecord MakeRecord(uint8_t id, std::string_view name,
                                     std::vector<uint8_t> data = {}) {
  std::array<uint8_t, image::kBlockEntrySize> bytes{};
  bytes[0] = id;
  const uint32_t size = static_cast<uint32_t>(data.size());
  for (int i = 0; i < 4; ++i)
    bytes[8 + i] = static_cast<uint8_t>(size >> (8 * i));
  for (size_t i = 0; i < name.size() && i < 8; ++i)
    bytes[24 + i] = static_cast<uint8_t>(name[i]);
  image::BlockRecord record;
  record.entry = image::BlockEntry(bytes);
  record.data = image::BlockData(std::move(data));
  return record;
}

struct TestBlock {
  uint8_t id;
  std::string name;
  std::vector<uint8_t> data;
};

// A loaded new-format image of `length` bytes (0xFF) with one bank at
// `header_offset`, whose blocks lie one after another behind its 28 + 48·n
// header bytes. Each record's data shares the image, as after a scan.
inline image::FlashImage MakeImage(const std::vector<TestBlock>& blocks, size_t length = 0x80000,
                                   uint32_t header_offset = 0x1000) {
  image::FlashImage flash;
  flash.image = image::ImageBuffer::Allocate(length);
  std::span<uint8_t> bytes = flash.image->bytes();
  std::fill(bytes.begin(), bytes.end(), 0xFF);
  uint32_t offset = 28 + 48 * static_cast<uint32_t>(blocks.size());
  for (size_t k = 0; k < blocks.size(); ++k) {
    image::BlockRecord record = MakeRecord(blocks[k].id, blocks[k].name, blocks[k].data);
    std::array<uint8_t, image::kBlockEntrySize> entry = record.entry.bytes();
    for (int i = 0; i < 4; ++i)
      entry[4 + i] = static_cast<uint8_t>(offset >> (8 * i));
    record.entry = image::BlockEntry(entry);
    record.header_offset = header_offset;
    record.index_in_bank = static_cast<uint32_t>(k);
    record.bank = 1;
    std::copy(blocks[k].data.begin(), blocks[k].data.end(), bytes.begin() + header_offset + offset);
    record.data =
        image::BlockData::Share(flash.image, header_offset + offset, blocks[k].data.size());
    flash.table.records.push_back(std::move(record));
    offset += static_cast<uint32_t>(blocks[k].data.size());
  }
  flash.new_format = 1;
  flash.image_length = static_cast<uint32_t>(length);
  flash.flash_size = static_cast<uint32_t>(length);
  flash.snapshot = flash.table;
  return flash;
}

inline std::vector<uint8_t> Bytes(std::string_view text) {
  return std::vector<uint8_t>(text.begin(), text.end());
}

// Points the private root ("D:\") at a fresh folder for one test.
class PrivateRoot {
 public:
  PrivateRoot() {
    root_ = std::filesystem::temp_directory_path() /
            ("nuv-toolcfg-" + std::to_string(getpid()) + "-" + std::to_string(counter_++));
    std::filesystem::remove_all(root_);
    setenv("NUV_PRIVATE_ROOT", root_.c_str(), 1);
    platform::PrivateRoot();  // made as the tool makes it: 0700
  }
  ~PrivateRoot() {
    unsetenv("NUV_PRIVATE_ROOT");
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  PrivateRoot(const PrivateRoot&) = delete;
  PrivateRoot& operator=(const PrivateRoot&) = delete;

  const std::filesystem::path& path() const { return root_; }
  std::filesystem::path tmp() const { return root_ / "tmp"; }

 private:
  static inline int counter_ = 0;
  std::filesystem::path root_;
};

}  // namespace nuv::toolcfg::testing
