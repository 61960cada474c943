#pragma once

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "image/flash_image.h"
#include "image/header_scan.h"
#include "image/image_buffer.h"
#include "image_builder.h"
#include "platform/paths.h"
#include "sample_preset.h"

namespace nuv::toolcfg::testing {

using samples::OwnBlockRecord;
using samples::TextBytes;

// A loaded new-format image of 512 KiB with one bank at 0x1000 holding
// these blocks (id, name, data), scanned as Pre-Parse scans it.
inline image::FlashImage MakeImage(const std::vector<samples::BlockPlan>& blocks) {
  const std::vector<uint8_t> bytes =
      samples::BuildNewFormatImage({.banks = {{.header_offset = 0x1000, .blocks = blocks}}}).bytes;
  image::FlashImage flash;
  flash.image = image::ImageBuffer::Allocate(bytes.size());
  std::copy(bytes.begin(), bytes.end(), flash.image->bytes().begin());
  RecordedMessages messages;
  EXPECT_TRUE(image::ScanDmHeaders(flash, messages));
  flash.kind = image::ImageKind::NewFormat;
  flash.image_length = flash.flash_size = static_cast<uint32_t>(bytes.size());
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
  // Where the extraction's "D:\tmp" lies: this process's working folder.
  std::filesystem::path tmp() const { return platform::ToWorkingPath("D:\\tmp").path; }

 private:
  static inline int counter_ = 0;
  std::filesystem::path root_;
};

}  // namespace nuv::toolcfg::testing
