// The search for DM headers and their scan into the block table. The
// search's agreement with the definition on any bytes, and random damage to
// the headers, are the dm_scan fuzz target's; the refusals' messages as the
// user sees them are main_preparse_refused's.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "image/dm_header.h"
#include "image/header_scan.h"
#include "image/image_buffer.h"
#include "image_builder.h"
#include "support/messages.h"

namespace nuv::image {
namespace {

void Plant(std::vector<uint8_t>& data, size_t pos, uint8_t marker = '0') {
  std::copy(kDmMagic.begin(), kDmMagic.end(), data.begin() + static_cast<std::ptrdiff_t>(pos));
  if (pos + kDmMarkerOffset < data.size())
    data[pos + kDmMarkerOffset] = marker;
}

TEST(FindDmHeaders, FindsEveryHeaderWithItsMarkerUpToTheLimit) {
  std::vector<uint8_t> data(300, 0);
  for (size_t pos : {size_t{0}, size_t{29}, size_t{61}, size_t{272}})
    Plant(data, pos);
  Plant(data, 120, '1');
  Plant(data, 200, 0);
  EXPECT_EQ(FindDmHeaders(data), (std::vector<size_t>{0, 29, 61, 272}));
  EXPECT_EQ(FindDmHeaders(data, 2), (std::vector<size_t>{0, 29}));
  EXPECT_TRUE(FindDmHeaders(data, 0).empty());
  EXPECT_TRUE(IsDmHeaderAt(data, 61));
  EXPECT_FALSE(IsDmHeaderAt(data, 120));
  EXPECT_FALSE(IsDmHeaderAt(data, SIZE_MAX));
  EXPECT_TRUE(FindDmHeaders(std::span<const uint8_t>()).empty());
}

// The search takes 32 positions at a time, then 16, then one: the limit
// must hold in each of them, so the last three headers an image can hold
// are placed at every alignment of its end.
TEST(FindDmHeaders, TheLimitHoldsWhereverTheHeadersFallAgainstTheVectorWidths) {
  for (size_t size = 2 * 14 + kDmHeaderFixedSize; size < 2 * 14 + kDmHeaderFixedSize + 64; ++size) {
    std::vector<uint8_t> data(size, '0');
    const size_t last = size - kDmHeaderFixedSize;
    const std::vector<size_t> all = {last - 28, last - 14, last};
    for (size_t pos : all)
      Plant(data, pos);
    for (size_t limit = 1; limit <= all.size(); ++limit)
      EXPECT_EQ(FindDmHeaders(data, limit), std::vector<size_t>(all.begin(), all.begin() + limit))
          << "image of " << size << " bytes, limit " << limit;
  }
}

TEST(FindDmHeaders, AMagicThatCannotHoldItsFixedBytesIsNoHeader) {
  for (size_t tail = 12; tail <= kDmHeaderFixedSize; ++tail) {
    std::vector<uint8_t> data(100, '0');
    Plant(data, data.size() - tail);
    const bool fits = tail == kDmHeaderFixedSize;
    EXPECT_EQ(FindDmHeaders(data).size(), fits ? 1u : 0u) << "magic " << tail << " before the end";
    EXPECT_EQ(IsDmHeaderAt(data, data.size() - tail), fits);
  }
}

TEST(FindDmHeaders, OverlappingAndPartialMagicsAreSearchedByteByByte) {
  std::vector<uint8_t> data(4096, '*');
  Plant(data, 1000);
  EXPECT_EQ(FindDmHeaders(data), std::vector<size_t>{1000});
  // Magics every 14 bytes, so that each one's marker falls on the "00"
  // after the next one: each is a header, and they overlap; the last one
  // that still has room for its 28 bytes starts at 252.
  std::vector<uint8_t> repeated(14 * 20, '0');
  std::vector<size_t> expected;
  for (size_t pos = 0; pos + 12 <= repeated.size(); pos += 14) {
    Plant(repeated, pos);
    if (pos <= 252)
      expected.push_back(pos);
  }
  EXPECT_EQ(FindDmHeaders(repeated), expected);
}

using samples::BankPlan;
using samples::BlockPlan;
using samples::NewFormatPlan;

BlockPlan Block(uint8_t id, size_t size) {
  return {.id = id, .name = "blk" + std::to_string(id), .data = samples::PatternBytes(size, id)};
}

BankPlan Bank(uint32_t at, uint32_t sdram, std::vector<BlockPlan> blocks) {
  return {.header_offset = at, .sdram_size = sdram, .blocks = std::move(blocks)};
}

struct Scanned {
  ScanResult result;
  std::vector<std::string> messages;
};

Scanned Scan(FlashImage& flash, const NewFormatPlan& plan) {
  const std::vector<uint8_t> bytes = samples::BuildNewFormatImage(plan).bytes;
  flash.Release();
  flash.image = ImageBuffer::Allocate(bytes.size());
  std::copy(bytes.begin(), bytes.end(), flash.image->bytes().begin());
  RecordedMessages messages;
  const ScanResult result = ScanDmHeaders(flash, messages);
  return {result, messages.texts()};
}

TEST(ScanDmHeaders, BanksGiveRecordsInFileOrderThatShareTheImage) {
  // The empty header in the middle still takes a bank number.
  NewFormatPlan plan;
  plan.banks = {Bank(0x400, 0x1000000, {Block(1, 10), Block(2, 20), Block(3, 30)}),
                Bank(0x8000, 7, {}), Bank(0x10000, 0x2000000, {Block(4, 40), Block(5, 50)})};
  FlashImage flash;
  const Scanned scanned = Scan(flash, plan);
  ASSERT_EQ(scanned.result, ScanResult::kScanned);
  EXPECT_TRUE(scanned.messages.empty());
  ASSERT_EQ(flash.table.total(), 5);
  ASSERT_EQ(flash.snapshot.total(), 5);
  const uint8_t banks[] = {1, 1, 1, 3, 3};
  const uint32_t indices[] = {0, 1, 2, 0, 1};
  const std::vector<uint64_t> positions = samples::BuildNewFormatImage(plan).data_positions;
  for (size_t i = 0; i < 5; ++i) {
    const BlockRecord& record = flash.table.records[i];
    EXPECT_EQ(record.entry.block_id(), i + 1);
    EXPECT_EQ(record.bank, banks[i]);
    EXPECT_EQ(record.index_in_bank, indices[i]);
    EXPECT_EQ(record.header_offset, i < 3 ? 0x400u : 0x10000u);
    EXPECT_EQ(record.data.size(), 10 * (i + 1));
    EXPECT_TRUE(record.data.shares_image()) << "no copy of block data is made";
    EXPECT_EQ(record.data.bytes().data(), flash.bytes().data() + positions[i]);
    EXPECT_EQ(flash.snapshot.records[i].entry, record.entry);
  }
  EXPECT_EQ(flash.sdram_size, 0x2000000u) << "the last header's value stays";
}

TEST(ScanDmHeaders, AHeaderInsideBlockDataCounts) {
  const NewFormatPlan inner{.length = 0x200, .fill = 0, .banks = {Bank(0, 9, {Block(7, 8)})}};
  BlockPlan carrier = Block(1, 0);
  carrier.data = samples::BuildNewFormatImage(inner).bytes;
  NewFormatPlan plan;
  plan.banks = {Bank(0x100, 5, {carrier})};
  FlashImage flash;
  ASSERT_EQ(Scan(flash, plan).result, ScanResult::kScanned);
  ASSERT_EQ(flash.table.total(), 2);
  EXPECT_EQ(flash.table.records[1].entry.block_id(), 7);
  EXPECT_EQ(flash.table.records[1].bank, 2);
  EXPECT_EQ(flash.sdram_size, 9u);
}

TEST(ScanDmHeaders, SixtyFourBlocksAnd255HeadersFit) {
  for (size_t second : {size_t{24}, size_t{25}}) {
    NewFormatPlan plan;
    plan.banks = {Bank(0, 1, std::vector<BlockPlan>(40, Block(1, 2))),
                  Bank(0x10000, 2, std::vector<BlockPlan>(second, Block(2, 2)))};
    FlashImage flash;
    const Scanned scanned = Scan(flash, plan);
    EXPECT_EQ(scanned.result, second == 24 ? ScanResult::kScanned : ScanResult::kTooManyBlocks);
    EXPECT_TRUE(scanned.messages.empty()) << "too many blocks is no error of its own";
    EXPECT_EQ(flash.table.total(), second == 24 ? 64 : 0) << "a partial table is not kept";
    EXPECT_EQ(flash.snapshot.total(), second == 24 ? 64 : 0);
  }
  NewFormatPlan plan;
  for (uint32_t i = 0; i < 256; ++i)
    plan.banks.push_back(Bank(i * 32, 0, {}));
  FlashImage flash;
  // More headers refuse the image, even when they hold no blocks.
  const Scanned many = Scan(flash, plan);
  EXPECT_EQ(many.result, ScanResult::kTooManyHeaders);
  EXPECT_EQ(many.messages,
            std::vector<std::string>{
                "The image has more DM headers than the tool can hold (at most 255)!"});
  plan.banks.pop_back();
  EXPECT_EQ(Scan(flash, plan).result, ScanResult::kScanned);
  // A magic without its marker is no header at all.
  plan.banks = {Bank(0x100, 1, {Block(1, 4)})};
  plan.banks[0].marker = '1';
  const Scanned none = Scan(flash, plan);
  EXPECT_EQ(none.result, ScanResult::kNoHeader);
  EXPECT_TRUE(none.messages.empty());
}

TEST(ScanDmHeaders, EntriesOrDataPastTheImageEndRefuseTheImage) {
  // A header whose second entry does not fit; with one entry it just does.
  NewFormatPlan plan;
  plan.banks = {Bank(0x80000 - 28 - 48, 1, {Block(1, 0), Block(2, 0)})};
  plan.banks[0].blocks[0].offset = plan.banks[0].blocks[1].offset = 0;
  FlashImage flash;
  Scanned scanned = Scan(flash, plan);
  EXPECT_EQ(scanned.result, ScanResult::kDamaged);
  EXPECT_EQ(scanned.messages,
            std::vector<std::string>{"Wrong binary file, dmh entries beyond the image end!"});
  EXPECT_EQ(flash.table.total(), 0);
  plan.banks[0].blocks.pop_back();
  EXPECT_EQ(Scan(flash, plan).result, ScanResult::kScanned);

  struct Case {
    uint32_t offset, size;
    ScanResult result;
  };
  const uint32_t header = 0x1000;
  const Case cases[] = {
      {0x80000 - header - 16, 16, ScanResult::kScanned},  // ends at the image end
      {0x80000 - header - 16, 17, ScanResult::kDamaged},  // one byte past it
      {0xFFFFFFF0, 0x20, ScanResult::kDamaged},           // offset + size wraps in u32
      {0x100, 0xFFFFFFFF, ScanResult::kDamaged},          // huge size
      {0xFFFFFFFF, 0, ScanResult::kScanned},              // nothing to read
  };
  for (const Case& c : cases) {
    BlockPlan block = Block(0x21, 0);
    block.offset = c.offset;
    block.size = c.size;
    plan.banks = {Bank(header, 1, {Block(1, 4), block})};
    scanned = Scan(flash, plan);
    EXPECT_EQ(scanned.result, c.result) << std::hex << c.offset << " " << c.size;
    if (c.result == ScanResult::kScanned)
      EXPECT_EQ(flash.table.records[1].data.size(), c.size);
    else
      EXPECT_EQ(scanned.messages.size(), 1u);
  }
}

}  // namespace
}  // namespace nuv::image
