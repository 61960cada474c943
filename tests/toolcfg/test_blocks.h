#pragma once

#include <algorithm>
#include <cstdint>
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
#include "test_files.h"

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
  EXPECT_EQ(image::ScanDmHeaders(flash, messages), image::ScanResult::kScanned);
  flash.kind = image::ImageKind::NewFormat;
  flash.image_length = flash.flash_size = static_cast<uint32_t>(bytes.size());
  return flash;
}

// Points the private root ("D:\") at a fresh folder for one test.
class PrivateRoot : public test::PrivateRootFolder {
 public:
  // Made as the tool makes it: 0700.
  PrivateRoot() { EXPECT_TRUE(platform::PrivateRoot().ok()); }
  // Where the extraction's "D:\tmp" lies: this process's working folder.
  std::filesystem::path tmp() const { return platform::ToWorkingPath("D:\\tmp").value(); }
};

}  // namespace nuv::toolcfg::testing
