#pragma once

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "image/flash_image.h"
#include "image/image_buffer.h"
#include "image_builder.h"
#include "platform/paths.h"
#include "sample_preset.h"

namespace nuv::toolcfg::testing {

using samples::OwnBlockRecord;
using samples::TextBytes;

struct TestBlock {
  uint8_t id;
  std::string name;
  std::vector<uint8_t> data;
};

// A loaded new-format image of 512 KiB (0xFF) with one bank at 0x1000,
// whose blocks lie one after another behind its 28 + 48·n header bytes.
// Each record's data shares the image, as after a scan.
inline image::FlashImage MakeImage(const std::vector<TestBlock>& blocks) {
  constexpr uint32_t kLength = 0x80000, kHeader = 0x1000;
  image::FlashImage flash;
  flash.image = image::ImageBuffer::Allocate(kLength);
  std::span<uint8_t> bytes = flash.image->bytes();
  std::fill(bytes.begin(), bytes.end(), 0xFF);
  uint32_t offset = 28 + 48 * static_cast<uint32_t>(blocks.size());
  for (const TestBlock& block : blocks) {
    image::BlockRecord record = OwnBlockRecord(block.id, block.name, block.data);
    record.entry.set_offset(offset);
    record.header_offset = kHeader;
    record.index_in_bank = static_cast<uint32_t>(flash.table.records.size());
    record.bank = 1;
    std::copy(block.data.begin(), block.data.end(), bytes.begin() + kHeader + offset);
    record.data = image::BlockData::Share(flash.image, kHeader + offset, block.data.size());
    flash.table.records.push_back(std::move(record));
    offset += static_cast<uint32_t>(block.data.size());
  }
  flash.new_format = 1;
  flash.image_length = flash.flash_size = kLength;
  flash.snapshot = flash.table;
  return flash;
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
