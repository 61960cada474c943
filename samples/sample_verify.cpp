// Images that `nuv verify` finds fault with, one fault each, made from the
// sound tool-config sample: a block whose data no longer matches its CRC,
// and a block that lies inside another one. (An image whose tool-config
// script does not parse is among the "toolcfg" samples.)
#include <algorithm>
#include <utility>
#include <vector>

#include "image_builder.h"
#include "sample_set.h"
#include "sample_toolcfg.h"

namespace nuv::samples {
namespace {

size_t LogoIndex(const std::vector<BlockPlan>& blocks) {
  return static_cast<size_t>(std::find_if(blocks.begin(), blocks.end(),
                                          [](const BlockPlan& b) { return b.name == "logo"; }) -
                             blocks.begin());
}

NewFormatPlan OneBank(std::vector<BlockPlan> blocks) {
  NewFormatPlan plan;
  BankPlan bank;
  bank.sdram_size = 64u << 20;
  bank.blocks = std::move(blocks);
  plan.banks.push_back(std::move(bank));
  return plan;
}

// One bit of the logo's data flipped after its CRC was written, as a bad
// copy or a worn flash cell leaves it.
std::vector<uint8_t> CorruptedBlock() {
  const std::vector<BlockPlan> blocks = ToolConfigSampleBlocks();
  BuiltImage built = BuildNewFormatImage(OneBank(blocks));
  built.bytes.at(built.data_positions.at(LogoIndex(blocks)) + 100) ^= 0x10;
  return built.bytes;
}

// A "splash" block placed over the second half of the logo, holding the
// same bytes, so that both CRCs hold and only the overlap is wrong.
std::vector<uint8_t> OverlappingBlocks() {
  std::vector<BlockPlan> blocks = ToolConfigSampleBlocks();
  const size_t logo_index = LogoIndex(blocks);
  const std::vector<uint8_t> logo = blocks.at(logo_index).data;
  BlockPlan splash{.id = 0x27, .name = "splash", .version = 0x00010000, .time = "2026-12-05"};
  splash.data.assign(logo.begin() + 128, logo.end());
  blocks.push_back(splash);
  // Where the logo lands does not depend on where the last block goes.
  const uint64_t logo_at = BuildNewFormatImage(OneBank(blocks)).data_positions.at(logo_index);
  blocks.back().offset = static_cast<uint32_t>(logo_at + 128);
  return BuildNewFormatImage(OneBank(blocks)).bytes;
}

void Generate(std::vector<SampleFile>& out) {
  out.push_back({"verify/corrupted-block.bin", CorruptedBlock()});
  out.push_back({"verify/overlapping-blocks.bin", OverlappingBlocks()});
}

GeneratorRegistration registration("verify", &Generate);

}  // namespace
}  // namespace nuv::samples
