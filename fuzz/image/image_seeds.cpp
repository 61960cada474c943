// nuv_image_fuzz_seeds FOLDER: writes the seed corpora of the two Pre-Parse
// targets, FOLDER/dm and FOLDER/legacy, with the sample image builder.
//
// The sample images are whole multiples of 512 KiB, which would make every
// run of a target read half a megabyte; these seeds hold the same structures
// (banks, empty banks, version blocks, tail entries, the limits and each
// refusal) in a few KiB. The scan reads any length; a legacy image must be
// as long as its header says, which one byte can say up to 255 and a
// second byte in steps of 64 KiB.
#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "image/block_entry.h"
#include "image_builder.h"

namespace {

using namespace nuv::samples;
namespace fs = std::filesystem;

BlockPlan Block(uint8_t id, std::string name, size_t size, uint32_t seed) {
  BlockPlan block;
  block.id = id;
  block.name = std::move(name);
  block.data = PatternBytes(size, seed);
  block.version = 0x00010000 + seed;
  block.time = "201405121030";
  return block;
}

BlockPlan Version(uint8_t id, std::string name, std::string_view text) {
  BlockPlan block = Block(id, std::move(name), 0, 0);
  block.data = TextBytes(text);
  block.data.resize(16, 0);
  return block;
}

std::vector<std::pair<std::string, NewFormatPlan>> NewFormatSeeds() {
  std::vector<std::pair<std::string, NewFormatPlan>> seeds;

  NewFormatPlan two{.length = 1536};
  BankPlan first{.header_offset = 0, .sdram_size = 0x4000000};
  first.blocks = {Block(0x01, "boot", 64, 1), Version(0x02, "ssdata", "NUV-2.01.0042"),
                  Block(0xA4, "kernel", 100, 2)};
  BankPlan second{.header_offset = 768, .sdram_size = 0x8000000};
  second.blocks = {Block(0xA8, "rootfs", 80, 3), Block(0x20, "app", 40, 4)};
  second.blocks[1].crc = nuv::image::kNoCrc;
  two.banks = {first, second};
  seeds.emplace_back("two-banks", two);

  // An empty bank between two others; an 8-character version block name
  // with 16 version bytes and no NUL; full-width names and times.
  NewFormatPlan three{.length = 2048};
  BankPlan a{.header_offset = 0x10, .sdram_size = 0x2000000};
  a.blocks = {Block(0x01, "loader", 32, 5), Version(0x03, "ssdataV2", "QV-2014.06.01-RC"),
              Block(0x04, "settings", 48, 6)};
  a.blocks[1].data.resize(16);
  a.blocks[2].time = "201406011200";
  BankPlan empty{.header_offset = 700, .sdram_size = 0x4000000};
  BankPlan c{.header_offset = 1200, .sdram_size = 0x10000000};
  c.blocks = {Block(0xA4, "kernel2", 64, 7), Block(0xA8, "rootfs2", 128, 8)};
  three.banks = {a, empty, c};
  seeds.emplace_back("three-banks", three);

  // The block limit, reached and passed.
  for (const size_t second_bank : {32, 33}) {
    NewFormatPlan many{.length = 4096};
    BankPlan x{.header_offset = 0, .sdram_size = 1};
    BankPlan y{.header_offset = 1800, .sdram_size = 2};
    for (size_t i = 0; i < 32; ++i)
      x.blocks.push_back(Block(static_cast<uint8_t>(i), "x" + std::to_string(i), 4, 9));
    for (size_t i = 0; i < second_bank; ++i)
      y.blocks.push_back(Block(static_cast<uint8_t>(0x40 + i), "y" + std::to_string(i), 4, 10));
    many.banks = {x, y};
    seeds.emplace_back(second_bank == 32 ? "64-blocks" : "65-blocks", many);
  }

  // The bank limit, reached and passed: empty headers every 28 bytes.
  for (const size_t count : {255, 256}) {
    NewFormatPlan banks{.length = count * 28 + 64};
    for (size_t i = 0; i < count; ++i)
      banks.banks.push_back(BankPlan{.header_offset = static_cast<uint32_t>(i * 28)});
    seeds.emplace_back(std::to_string(count) + "-banks", banks);
  }

  // Damaged: data past the end, data whose offset wraps a u32, entries past
  // the end; and a size-0 block pointing anywhere, which is accepted.
  NewFormatPlan outside{.length = 512};
  BankPlan o{.header_offset = 0x20};
  o.blocks = {Block(0x01, "boot", 16, 11), Block(0x02, "far", 16, 12)};
  o.blocks[1].offset = 500;
  outside.banks = {o};
  seeds.emplace_back("data-outside", outside);
  outside.banks[0].blocks[1].offset = 0xFFFFFFF0;
  seeds.emplace_back("offset-wraps", outside);
  outside.banks[0].blocks[1].offset = 0xFFFFFFF0;
  outside.banks[0].blocks[1].size = 0;
  seeds.emplace_back("size-zero-anywhere", outside);
  NewFormatPlan entries{.length = 200};
  BankPlan e{.header_offset = 0x10, .block_count = 9};
  e.blocks = {Block(0x01, "boot", 0, 13)};
  entries.banks = {e};
  seeds.emplace_back("entries-outside", entries);

  // A header inside another block's data counts as a bank of its own.
  NewFormatPlan inner{.length = 1024};
  BankPlan outer{.header_offset = 0};
  outer.blocks = {Block(0x30, "holder", 200, 14)};
  outer.blocks[0].offset = 0x100;
  BankPlan nested{.header_offset = 0x110};
  nested.blocks = {Block(0x31, "nested", 8, 15)};
  inner.banks = {outer, nested};
  seeds.emplace_back("header-in-data", inner);

  // No header: the marker is not '0'.
  NewFormatPlan marker{.length = 256};
  BankPlan m{.header_offset = 0, .marker = '1'};
  m.blocks = {Block(0x01, "boot", 8, 16)};
  marker.banks = {m};
  seeds.emplace_back("marker-not-zero", marker);
  return seeds;
}

LegacyPlan SmallLegacy() {
  LegacyPlan plan{.length = 255, .dmh_offset = 40, .sdram_size = 0x20010};
  plan.config_offset = 236;
  plan.config = PatternBytes(16, 20);
  plan.blocks = {Block(0x01, "boot", 8, 21), Version(0x02, "ssdata", "LEGACY-V1.0"),
                 Block(0xF0, "tail", 12, 22)};
  plan.blocks[0].offset = 200;
  plan.blocks[2].tail_flag = 1;
  return plan;
}

std::vector<std::pair<std::string, LegacyPlan>> LegacySeeds() {
  std::vector<std::pair<std::string, LegacyPlan>> seeds;
  seeds.emplace_back("small", SmallLegacy());

  // 64 entries need more than 255 bytes: 64 KiB, the next length a header
  // can state.
  LegacyPlan full{.length = 0x10000, .dmh_offset = 0x100, .sdram_size = 0x40000};
  full.config_offset = 0xE00;
  full.config = PatternBytes(0x100, 23);
  for (size_t i = 0; i < 64; ++i)
    full.blocks.push_back(Block(static_cast<uint8_t>(i), "b" + std::to_string(i), 0x100, 24));
  full.blocks[0].offset = 0x1000;
  full.blocks[5] = Version(0x05, "ssdata", "LEGACY-V2.0");
  full.blocks[62].tail_flag = 1;
  full.blocks[63].tail_flag = 1;
  seeds.emplace_back("64-entries", full);

  // The small image with one thing wrong: each is refused, or (the
  // configuration region) refused by Export.
  using Change = void (*)(LegacyPlan&);
  const std::pair<const char*, Change> broken[] = {
      {"65-entries", [](LegacyPlan& plan) { plan.entry_count = 65; }},
      {"wrong-flash-size", [](LegacyPlan& plan) { plan.flash_size = 254; }},
      {"entries-outside", [](LegacyPlan& plan) { plan.entry_count = 5; }},
      {"data-outside", [](LegacyPlan& plan) { plan.blocks[2].offset = 250; }},
      {"config-outside", [](LegacyPlan& plan) { plan.config_length = 100; }},
      {"header-outside", [](LegacyPlan& plan) { plan.dmh_offset = 250; }},
  };
  for (const auto& [name, change] : broken) {
    LegacyPlan plan = SmallLegacy();
    change(plan);
    seeds.emplace_back(name, plan);
  }
  return seeds;
}

bool Write(const fs::path& path, const BuiltImage& image) {
  if (WriteBytesFile(path, image.bytes))
    return true;
  std::fprintf(stderr, "nuv_image_fuzz_seeds: cannot write %s\n", path.c_str());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: nuv_image_fuzz_seeds FOLDER\n");
    return 2;
  }
  const fs::path folder = argv[1];
  std::error_code error;
  fs::create_directories(folder / "dm", error);
  fs::create_directories(folder / "legacy", error);
  bool ok = true;
  for (const auto& [name, plan] : NewFormatSeeds())
    ok = Write(folder / "dm" / name, BuildNewFormatImage(plan)) && ok;
  for (const auto& [name, plan] : LegacySeeds())
    ok = Write(folder / "legacy" / name, BuildLegacyImage(plan)) && ok;
  return ok ? 0 : 1;
}
