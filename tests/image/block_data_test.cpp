#include <gtest/gtest.h>

#include <algorithm>

#include "image/block_table.h"
#include "image/flash_image.h"
#include "image/image_buffer.h"

namespace nuv::image {
namespace {

std::shared_ptr<ImageBuffer> Counting(size_t size) {
  std::shared_ptr<ImageBuffer> buffer = ImageBuffer::Allocate(size);
  std::span<uint8_t> bytes = buffer->bytes();
  for (size_t i = 0; i < bytes.size(); ++i)
    bytes[i] = static_cast<uint8_t>(i);
  return buffer;
}

TEST(ImageBuffer, IsZeroFilledLargeOnesAreAlignedAndItOnlyShrinks) {
  for (size_t size : {size_t{0}, size_t{1}, size_t{4096}, size_t{5u << 20}}) {
    std::shared_ptr<ImageBuffer> buffer = ImageBuffer::Allocate(size);
    ASSERT_NE(buffer, nullptr);
    ASSERT_EQ(buffer->size(), size);
    EXPECT_TRUE(std::all_of(buffer->bytes().begin(), buffer->bytes().end(),
                            [](uint8_t b) { return b == 0; }));
    if (size == 5u << 20) {
#ifndef _WIN32  // Windows gives huge pages only to a privileged process
      EXPECT_EQ(reinterpret_cast<uintptr_t>(buffer->bytes().data()) % (2u << 20), 0u);
#endif
      buffer->ShrinkTo(100);
      EXPECT_EQ(buffer->size(), 100u);
      buffer->ShrinkTo(200);
      EXPECT_EQ(buffer->size(), 100u);
    }
  }
}

TEST(BlockData, SharesTheImageUntilChangedAndThenIsIndependent) {
  std::shared_ptr<ImageBuffer> image = Counting(64);
  BlockData data = BlockData::Share(image, 10, 4);
  ASSERT_TRUE(data.shares_image());
  EXPECT_EQ(data.bytes().data(), image->bytes().data() + 10);
  BlockData copy = data;  // a snapshot holds the same bytes

  data.mutable_bytes()[0] = 0xEE;
  EXPECT_FALSE(data.shares_image());
  EXPECT_EQ(data.bytes()[0], 0xEE);
  EXPECT_EQ(data.bytes()[1], 11);
  EXPECT_EQ(image->bytes()[10], 10) << "the image must not change";
  EXPECT_EQ(copy.bytes()[0], 10) << "the snapshot must not change";

  copy.Replace({1, 2, 3});
  EXPECT_EQ(copy.size(), 3u);
  EXPECT_EQ(image->bytes()[10], 10);
  // Outside the image a share is empty.
  EXPECT_EQ(BlockData::Share(image, 60, 4).size(), 4u);
  EXPECT_EQ(BlockData::Share(image, 60, 5).size(), 0u);
  EXPECT_EQ(BlockData::Share(image, 65, 0).size(), 0u);
  EXPECT_EQ(BlockData::Share(image, SIZE_MAX, 2).size(), 0u);
  EXPECT_EQ(BlockData::Share(nullptr, 0, 0).size(), 0u);
}

TEST(FlashImage, WritingTheImageDetachesRecordsFirst) {
  FlashImage flash;
  flash.image = Counting(32);
  flash.table.records.emplace_back().data = BlockData::Share(flash.image, 4, 4);
  flash.snapshot = flash.table;

  flash.mutable_bytes()[4] = 0x99;
  EXPECT_EQ(flash.table.records[0].data.bytes()[0], 4);
  EXPECT_EQ(flash.snapshot.records[0].data.bytes()[0], 4);

  std::weak_ptr<ImageBuffer> watch = flash.image;
  flash.Release();
  EXPECT_TRUE(watch.expired()) << "nothing may keep the released image alive";
  EXPECT_EQ(flash.table.total(), 0u);
  EXPECT_TRUE(flash.bytes().empty());
}

}  // namespace
}  // namespace nuv::image
