#include <gtest/gtest.h>

#include "image/header_scan.h"
#include "image_builder.h"
#include "support/messages.h"
#include "test_image.h"

namespace nuv::image {
namespace {

using samples::BankPlan;
using samples::BlockPlan;
using samples::NewFormatPlan;

BlockPlan Block(uint8_t id, size_t size) {
  BlockPlan block;
  block.id = id;
  block.name = "blk" + std::to_string(id);
  block.data = samples::PatternBytes(size, id);
  return block;
}

BankPlan Bank(uint32_t at, uint32_t sdram, std::vector<BlockPlan> blocks) {
  BankPlan bank;
  bank.header_offset = at;
  bank.sdram_size = sdram;
  bank.blocks = std::move(blocks);
  return bank;
}

struct Scanned {
  bool ok;
  ScanFailure why;
  std::vector<std::string> messages;
};

Scanned Scan(FlashImage& flash, const NewFormatPlan& plan) {
  testing::LoadBytes(flash, samples::BuildNewFormatImage(plan).bytes);
  RecordedMessages messages;
  ScanFailure why = ScanFailure::None;
  const bool ok = ScanDmHeaders(flash, messages, &why);
  return {ok, why, messages.texts()};
}

TEST(ScanDmHeaders, TwoBanksGiveRecordsInFileOrder) {
  NewFormatPlan plan;
  plan.banks = {Bank(0x400, 0x1000000, {Block(1, 10), Block(2, 20), Block(3, 30)}),
                Bank(0x10000, 0x2000000, {Block(4, 40), Block(5, 50)})};
  FlashImage flash;
  const Scanned scanned = Scan(flash, plan);
  ASSERT_TRUE(scanned.ok);
  EXPECT_EQ(scanned.why, ScanFailure::None);
  EXPECT_TRUE(scanned.messages.empty());
  ASSERT_EQ(flash.table.total(), 5);
  const uint8_t banks[] = {1, 1, 1, 2, 2};
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
    const std::vector<uint8_t> expected =
        samples::PatternBytes(10 * (i + 1), static_cast<uint32_t>(i + 1));
    EXPECT_TRUE(std::equal(record.data.bytes().begin(), record.data.bytes().end(), expected.begin(),
                           expected.end()));
  }
  EXPECT_EQ(flash.sdram_size, 0x2000000u) << "the last header's value stays";
  ASSERT_EQ(flash.snapshot.total(), 5);
  for (size_t i = 0; i < 5; ++i)
    EXPECT_EQ(flash.snapshot.records[i].entry, flash.table.records[i].entry);
}

TEST(ScanDmHeaders, AnEmptyHeaderStillTakesABankNumber) {
  NewFormatPlan plan;
  plan.banks = {Bank(0, 1, {Block(1, 4)}), Bank(0x1000, 2, {}), Bank(0x2000, 3, {Block(2, 4)})};
  FlashImage flash;
  ASSERT_TRUE(Scan(flash, plan).ok);
  ASSERT_EQ(flash.table.total(), 2);
  EXPECT_EQ(flash.table.records[1].bank, 3);
  EXPECT_EQ(flash.table.records[1].index_in_bank, 0u);
  EXPECT_EQ(flash.sdram_size, 3u);
}

TEST(ScanDmHeaders, AHeaderInsideBlockDataCounts) {
  // Bank 1's block data holds a complete second header with one entry.
  const NewFormatPlan inner{.length = 0x200, .fill = 0, .banks = {Bank(0, 9, {Block(7, 8)})}};
  BlockPlan carrier = Block(1, 0);
  carrier.data = samples::BuildNewFormatImage(inner).bytes;
  NewFormatPlan plan;
  plan.banks = {Bank(0x100, 5, {carrier})};
  FlashImage flash;
  ASSERT_TRUE(Scan(flash, plan).ok);
  ASSERT_EQ(flash.table.total(), 2);
  EXPECT_EQ(flash.table.records[1].entry.block_id(), 7);
  EXPECT_EQ(flash.table.records[1].bank, 2);
  EXPECT_EQ(flash.sdram_size, 9u);
}

TEST(ScanDmHeaders, SixtyFourBlocksFitButSixtyFiveMakeALegacyImage) {
  for (size_t second : {size_t{24}, size_t{25}}) {
    std::vector<BlockPlan> a(40, Block(1, 2)), b(second, Block(2, 2));
    NewFormatPlan plan;
    plan.banks = {Bank(0, 1, a), Bank(0x10000, 2, b)};
    FlashImage flash;
    const Scanned scanned = Scan(flash, plan);
    EXPECT_EQ(scanned.ok, second == 24);
    EXPECT_EQ(scanned.why, second == 24 ? ScanFailure::None : ScanFailure::TooManyBlocks);
    EXPECT_TRUE(scanned.messages.empty()) << "too many blocks is no error of its own";
    EXPECT_EQ(flash.table.total(), second == 24 ? 64 : 0) << "a partial table is not kept";
    EXPECT_EQ(flash.snapshot.total(), second == 24 ? 64 : 0);
  }
}

TEST(ScanDmHeaders, NoHeaderOrOnlyBrokenMarkersMeanLegacy) {
  NewFormatPlan plan;
  plan.banks = {Bank(0x100, 1, {Block(1, 4)})};
  plan.banks[0].marker = '1';
  FlashImage flash;
  const Scanned scanned = Scan(flash, plan);
  EXPECT_FALSE(scanned.ok);
  EXPECT_EQ(scanned.why, ScanFailure::NoHeader);
  EXPECT_TRUE(scanned.messages.empty());
}

TEST(ScanDmHeaders, MoreHeadersThanBankNumbersMeanLegacy) {
  NewFormatPlan plan;
  for (uint32_t i = 0; i < 256; ++i)
    plan.banks.push_back(Bank(i * 32, 0, {}));
  FlashImage flash;
  EXPECT_EQ(Scan(flash, plan).why, ScanFailure::TooManyHeaders);
  plan.banks.pop_back();
  EXPECT_TRUE(Scan(flash, plan).ok);
}

TEST(ScanDmHeaders, EntriesPastTheImageEndRefuseTheImage) {
  NewFormatPlan plan;
  plan.banks = {Bank(0x80000 - 28 - 48, 1, {Block(1, 0), Block(2, 0)})};
  plan.banks[0].blocks[0].offset = 0;
  plan.banks[0].blocks[1].offset = 0;
  FlashImage flash;
  const Scanned scanned = Scan(flash, plan);
  EXPECT_FALSE(scanned.ok);
  EXPECT_EQ(scanned.why, ScanFailure::Damaged);
  EXPECT_EQ(scanned.messages,
            std::vector<std::string>{"Wrong binary file, dmh entries beyond the image end!"});
  EXPECT_EQ(flash.table.total(), 0);
  // The same header with one entry just fits.
  plan.banks[0].blocks.pop_back();
  EXPECT_TRUE(Scan(flash, plan).ok);
}

TEST(ScanDmHeaders, BlockDataOutsideTheImageRefusesIt) {
  struct Case {
    uint32_t offset, size;
    bool ok;
  };
  const uint32_t header = 0x1000;
  const Case cases[] = {
      {0x80000 - header - 16, 16, true},   // ends at the image end
      {0x80000 - header - 16, 17, false},  // one byte past it
      {0xFFFFFFF0, 0x20, false},           // offset + size wraps in u32
      {0x100, 0xFFFFFFFF, false},          // huge size
      {0xFFFFFFFF, 0, true},               // nothing to read
  };
  for (const Case& c : cases) {
    BlockPlan block = Block(0x21, 0);
    block.offset = c.offset;
    block.size = c.size;
    NewFormatPlan plan;
    plan.banks = {Bank(header, 1, {Block(1, 4), block})};
    FlashImage flash;
    const Scanned scanned = Scan(flash, plan);
    EXPECT_EQ(scanned.ok, c.ok) << std::hex << c.offset << " " << c.size;
    if (!c.ok) {
      EXPECT_EQ(scanned.why, ScanFailure::Damaged);
      EXPECT_EQ(scanned.messages, std::vector<std::string>{
                                      "Wrong binary file, data of block 21 beyond the image end!"});
    } else {
      EXPECT_EQ(flash.table.records[1].data.size(), c.size);
    }
  }
}

// Random damage to the header area: whatever the scan makes of it, every
// record it keeps lies inside the image, and a refusal says why once. (Run
// under the sanitizers, this also shows nothing is read outside.)
TEST(ScanDmHeaders, RandomlyDamagedHeadersAreReadSafelyOrRefused) {
  NewFormatPlan plan;
  plan.banks = {Bank(0x7F000, 1, {Block(1, 100), Block(2, 200), Block(3, 300)}),
                Bank(0x7FC00, 2, {Block(4, 40)})};
  const std::vector<uint8_t> good = samples::BuildNewFormatImage(plan).bytes;
  size_t kept = 0, refused = 0;
  for (uint32_t seed = 1; seed <= 400; ++seed) {
    std::vector<uint8_t> bytes = good;
    const std::vector<uint8_t> noise = samples::PatternBytes(16, seed);
    for (size_t i = 0; i + 1 < noise.size(); i += 2) {
      const size_t bank = (noise[i] & 1) ? 0x7F000 : 0x7FC00;
      bytes[bank + 24 + noise[i] % 160] = noise[i + 1];  // count, entries
    }
    FlashImage flash;
    testing::LoadBytes(flash, bytes);
    RecordedMessages messages;
    ScanFailure why = ScanFailure::None;
    if (ScanDmHeaders(flash, messages, &why)) {
      ++kept;
      EXPECT_TRUE(messages.texts().empty());
      for (const BlockRecord& record : flash.table.records) {
        EXPECT_EQ(record.data.size(), record.entry.size());
        if (record.entry.size() != 0) {
          EXPECT_GE(record.data.bytes().data(), flash.bytes().data());
          EXPECT_LE(record.data.bytes().data() + record.data.size(),
                    flash.bytes().data() + flash.bytes().size());
        }
      }
    } else {
      ++refused;
      EXPECT_EQ(messages.texts().size(), why == ScanFailure::Damaged ? 1u : 0u) << seed;
      EXPECT_EQ(flash.table.total(), 0);
    }
  }
  EXPECT_GT(kept, 0u);
  EXPECT_GT(refused, 0u);
}

}  // namespace
}  // namespace nuv::image
