// Sample flash images: new-format images with several banks, legacy images
// with a configuration region and tail entries, and files that Pre-Parse
// refuses, one for each reason. `nuv info` shows what each one holds.
#include <array>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "image/block_entry.h"
#include "image_builder.h"
#include "sample_set.h"

namespace nuv::samples {
namespace {

constexpr size_t kHalfMiB = 0x80000;
constexpr size_t kMiB = 0x100000;

BlockPlan Block(uint8_t id, std::string name, std::vector<uint8_t> data, uint32_t version,
                std::string time) {
  BlockPlan block;
  block.id = id;
  block.name = std::move(name);
  block.data = std::move(data);
  block.version = version;
  block.time = std::move(time);
  return block;
}

// A version block: the text and its terminator.
BlockPlan Version(uint8_t id, std::string name, std::string_view text) {
  std::vector<uint8_t> data = TextBytes(text);
  data.resize(16, 0);
  return Block(id, std::move(name), std::move(data), 1, "201405121030");
}

// Two banks: boot loader, version and kernel (64 KiB aligned) in the first,
// root file system (aligned) and an application without CRC in the second.
NewFormatPlan TwoBanks() {
  NewFormatPlan plan;
  plan.length = kMiB;
  BankPlan first{.header_offset = 0, .sdram_size = 0x4000000};
  first.blocks = {Block(0x01, "boot", PatternBytes(0x2400, 1), 0x00010002, "201405121030"),
                  Version(0x02, "ssdata", "NUV-2.01.0042"),
                  Block(0xA4, "kernel", PatternBytes(0x30000, 2), 0x00020001, "201405121031")};
  first.blocks[2].align = 0x10000;
  BankPlan second{.header_offset = 0x60000, .sdram_size = 0x4000000};
  second.blocks = {Block(0xA8, "rootfs", PatternBytes(0x50000, 3), 0x00020001, "201405121032"),
                   Block(0x20, "app", PatternBytes(0x8000, 4), 0x00000107, "201405121033")};
  second.blocks[0].align = 0x10000;
  second.blocks[1].crc = image::kNoCrc;
  plan.banks = {first, second};
  return plan;
}

// Three banks, the middle one empty; an 8-character version block name and a
// 16-character version without terminator; an 8-character block name and a
// 12-character time.
NewFormatPlan ThreeBanks() {
  NewFormatPlan plan;
  plan.length = 2 * kMiB;
  BankPlan first{.header_offset = 0x100, .sdram_size = 0x8000000, .reserved12 = 0x12345678};
  first.blocks = {Block(0x01, "loader", PatternBytes(0x1000, 5), 1, "2014-06-01"),
                  Block(0x03, "ssdataV2", TextBytes("QV-2014.06.01-RC"), 2, "2014-06-01"),
                  Block(0x04, "settings", PatternBytes(0x800, 6), 3, "201406011200")};
  BankPlan second{.header_offset = 0x80000, .sdram_size = 0x8000000};
  BankPlan third{.header_offset = 0x100000, .sdram_size = 0x10000000};
  third.blocks = {Block(0xA4, "kernel2", PatternBytes(0x20000, 7), 4, "2014-06-02"),
                  Block(0xA8, "rootfs2", PatternBytes(0x40000, 8), 5, "2014-06-02")};
  third.blocks[0].align = 0x10000;
  third.blocks[1].align = 0x10000;
  plan.banks = {first, second, third};
  return plan;
}

// Header at 0x10000, configuration region at 0x1000, ordinary blocks after
// the header, and two tail entries in the last 128 KiB.
LegacyPlan Legacy() {
  LegacyPlan plan;
  plan.length = kMiB;
  plan.dmh_offset = 0x10000;
  plan.sdram_size = 0x02000000 | 0x00400000;  // bytes 0 and 2 give 0x40 * 65536
  plan.config_offset = 0x1000;
  plan.config = PatternBytes(0x400, 9);
  plan.blocks = {Block(0x10, "loader", PatternBytes(0x8000, 10), 0x100, "2011-03-04"),
                 Version(0x11, "ssdata", "LEG-1.2.3"),
                 Block(0x12, "kernel", PatternBytes(0x40000, 11), 0x101, "2011-03-04"),
                 Block(0x13, "panel", PatternBytes(0x100, 12), 0x102, "2011-03-04"),
                 Block(0x30, "keys", PatternBytes(0x1000, 13), 0x103, "2011-03-05"),
                 Block(0x31, "hwinfo", PatternBytes(0xF0, 14), 0x104, "2011-03-05")};
  plan.blocks[1].offset = 0x18200;  // after the loader
  plan.blocks[4].offset = 0xE0000;
  plan.blocks[4].tail_flag = 1;
  plan.blocks[5].offset = 0xF0000;
  plan.blocks[5].tail_flag = 1;
  plan.blocks[5].crc = image::kNoCrc;
  return plan;
}

// As many blocks as an image can hold, 64: more rows than the main form's
// block list shows at once. Version block first, then 63 small blocks of
// four sizes with names, versions and times (a minute apart) that tell
// them apart.
LegacyPlan SixtyFourBlocks() {
  LegacyPlan plan = Legacy();
  plan.blocks = {Version(0x01, "ssdata", "LEG-64-BLOCKS")};
  for (uint32_t n = 1; n < 64; ++n) {
    std::array<char, 32> name{};
    std::snprintf(name.data(), name.size(), "part%02u", n);
    std::array<char, 32> time{};
    std::snprintf(time.data(), time.size(), "20150301%02u%02u", 10 + n / 60, n % 60);
    plan.blocks.push_back(Block(static_cast<uint8_t>(0x40 + n), name.data(),
                                PatternBytes(0x100u << (n % 4), 100 + n), 0x200 + n, time.data()));
  }
  return plan;
}

void Add(std::vector<SampleFile>& out, std::string name, std::vector<uint8_t> bytes) {
  out.push_back({"images/" + std::move(name), std::move(bytes)});
}

void Generate(std::vector<SampleFile>& out) {
  Add(out, "new-two-banks.bin", BuildNewFormatImage(TwoBanks()).bytes);
  Add(out, "new-three-banks.bin", BuildNewFormatImage(ThreeBanks()).bytes);
  Add(out, "legacy.bin", BuildLegacyImage(Legacy()).bytes);
  Add(out, "legacy-64-blocks.bin", BuildLegacyImage(SixtyFourBlocks()).bytes);

  // Refused, each for one reason.
  LegacyPlan odd = Legacy();
  odd.length = kHalfMiB + 1;
  odd.flash_size = kHalfMiB;
  Add(out, "bad-length.bin", BuildLegacyImage(odd).bytes);
  Add(out, "empty.bin", {});

  NewFormatPlan crowded;
  crowded.length = kHalfMiB;
  BankPlan a{.header_offset = 0}, b{.header_offset = 0x40000};
  a.blocks.assign(40, Block(0x40, "part", PatternBytes(0x100, 15), 1, ""));
  b.blocks.assign(25, Block(0x41, "part", PatternBytes(0x100, 16), 1, ""));
  crowded.banks = {a, b};
  Add(out, "too-many-blocks.bin", BuildNewFormatImage(crowded).bytes);

  LegacyPlan many = Legacy();
  many.blocks.assign(65, Block(0x50, "x", PatternBytes(0x10, 17), 1, ""));
  Add(out, "legacy-too-many-entries.bin", BuildLegacyImage(many).bytes);

  LegacyPlan wrong_size = Legacy();
  wrong_size.flash_size = 2 * kMiB;
  Add(out, "legacy-wrong-flash-size.bin", BuildLegacyImage(wrong_size).bytes);

  NewFormatPlan outside = TwoBanks();
  outside.banks[1].blocks[1].size = 0x200000;
  Add(out, "new-data-outside.bin", BuildNewFormatImage(outside).bytes);
}

GeneratorRegistration registration("images", &Generate);

}  // namespace
}  // namespace nuv::samples
