// Samples of new-format images that carry their tool-config script,
// gzip-compressed, in a "toolcfg" block: the script uses every line kind,
// descriptions (EM=1), text items and range items, and the blocks it names
// hold the values listed below, so a parse of the samples can be checked.
#include "sample_toolcfg.h"

#include <zlib.h>

#include <string>
#include <utility>

#include "image_builder.h"
#include "sample_set.h"

namespace nuv::samples {

BlockPlan ToolConfigSampleBlock(uint8_t id, std::string name, std::vector<uint8_t> data) {
  BlockPlan block;
  block.id = id;
  block.name = std::move(name);
  block.data = std::move(data);
  block.version = 0x00010000;
  block.time = "2026-12-05";
  return block;
}

namespace {

constexpr char kScript[] =
    "// Tool-config script of the NUV sample image.\n"
    "// Sheet 2 is \"IR_FP_Key\", sheet 3 \"Sys_Config\", any other \"File_Path\".\n"
    "FLASH=8M\n"
    "CFGHEADER=toolcfg\n"
    "\n"
    "SHEETID=2\n"
    "SHEETINFO=Key][Code][Min][Max][Description\n"
    "BLOCKINFO=irkeys]\n"
    "EM=1\n"
    "INDEX=0x22\n"
    "[Power][0][0][8][Power key] [Mute][0][8][8][Mute key] [Menu][0][16][8][Menu key];\n"
    "##[Custom code][2][28][12][0][4095][Remote custom code, 12 bits from bit 28]##\n"
    "\n"
    "SHEETID=3\n"
    "SHEETINFO=Item][Value][Min][Max][Description\n"
    "BLOCKINFO=sysconf]\n"
    "INDEX=21\n"
    "EM=1\n"
    "OFFSET=4\n"
    "[Standby][2][0][1][0][1][Start in standby (1) or on (0)];\n"
    "[Volume][2][1][7][0][100][Volume at power-on] [Channel][2][9][14][1][9999][Channel at "
    "power-on];\n"
    "[Serial][0][27][64][Factory serial number];\n"
    "[Region][1][96][0][Region code];\n"
    "BLOCKINFO=panel]\n"
    "INDEX=0x23\n"
    "[Welcome][1][0][0];\n"
    "[Clock][2][162][4][0][3];\n"
    "\n"
    "SHEETID=4\n"
    "SHEETINFO=Block][File\n"
    "BLOCKINFO=logo]\n"
    "EM=3\n"
    "INDEX=0x24\n"
    "BLOCKINFO=hwinfo]\n"
    "EM=2\n"
    "INDEX=0x25\n";

// Puts the `length`-bit `value` at bit `position` of `bytes`, least
// significant bit first.
void PutBits(std::vector<uint8_t>& bytes, uint64_t position, uint32_t length, uint64_t value) {
  for (uint32_t i = 0; i < length; ++i, ++position) {
    const uint8_t mask = static_cast<uint8_t>(1u << (position % 8));
    if ((value >> i) & 1)
      bytes.at(position / 8) |= mask;
    else
      bytes.at(position / 8) &= static_cast<uint8_t>(~mask);
  }
}

void PutText(std::vector<uint8_t>& bytes, size_t position, std::string_view text) {
  for (char c : text)
    bytes.at(position++) = static_cast<uint8_t>(c);
  bytes.at(position) = 0;
}

std::vector<BlockPlan> ConfigBlocks(std::vector<uint8_t> toolcfg) {
  std::vector<uint8_t> irkeys(8);
  PutBits(irkeys, 0, 8, kSamplePowerKey);
  PutBits(irkeys, 8, 8, 0x0D);
  PutBits(irkeys, 16, 8, 0x2E);
  PutBits(irkeys, 28, 12, kSampleCustomCode);

  // OFFSET=4: the items count their bits from byte 4.
  std::vector<uint8_t> sysconf(32, 0xFF);
  PutBits(sysconf, 32 + 0, 1, 1);
  PutBits(sysconf, 32 + 1, 7, kSampleVolume);
  PutBits(sysconf, 32 + 9, 14, kSampleChannel);
  PutBits(sysconf, 32 + 27, 64, kSampleSerial);
  PutText(sysconf, 4 + 12, kSampleRegion);

  std::vector<uint8_t> panel(24);
  PutText(panel, 0, kSampleWelcome);
  PutBits(panel, 162, 4, 2);

  std::vector<BlockPlan> blocks;
  blocks.push_back(ToolConfigSampleBlock(0x22, "irkeys", std::move(irkeys)));
  blocks.push_back(ToolConfigSampleBlock(0x21, "sysconf", std::move(sysconf)));
  blocks.push_back(ToolConfigSampleBlock(0x23, "panel", std::move(panel)));
  blocks.push_back(ToolConfigSampleBlock(0x24, "logo", PatternBytes(256, 0x24)));
  blocks.push_back(ToolConfigSampleBlock(0x25, "hwinfo", std::vector<uint8_t>(5120)));
  blocks.push_back(ToolConfigSampleBlock(0x40, "toolcfg", std::move(toolcfg)));
  blocks.back().align = 16;
  return blocks;
}

BlockPlan Version() {
  std::vector<uint8_t> version(16);
  PutText(version, 0, "NUV-TOOLCFG-1.0");
  return ToolConfigSampleBlock(0x10, "ssdata", std::move(version));
}

std::vector<uint8_t> Packed(std::string_view script) {
  return GzipCompress(TextBytes(script));
}

// One bank holding everything.
std::vector<uint8_t> OneBank(std::vector<uint8_t> toolcfg) {
  NewFormatPlan plan;
  BankPlan bank;
  bank.sdram_size = 64u << 20;
  bank.blocks = ToolConfigSampleBlocks(std::move(toolcfg));
  plan.banks.push_back(std::move(bank));
  return BuildNewFormatImage(plan).bytes;
}

// A boot bank, then the configuration in a second bank half-way up.
std::vector<uint8_t> TwoBanks() {
  NewFormatPlan plan;
  plan.length = 0x100000;
  BankPlan boot;
  boot.sdram_size = 64u << 20;
  boot.blocks.push_back(Version());
  boot.blocks.push_back(ToolConfigSampleBlock(0xA4, "boot", PatternBytes(0x3000, 0xA4)));
  boot.blocks.back().align = 0x10000;  // where Save New Flash puts it
  BankPlan config;
  config.header_offset = 0x80000;
  config.sdram_size = 64u << 20;
  config.blocks = ConfigBlocks(Packed(kScript));
  plan.banks.push_back(std::move(boot));
  plan.banks.push_back(std::move(config));
  return BuildNewFormatImage(plan).bytes;
}

std::string ScriptWithUnknownIndex() {
  std::string script = kScript;
  script.replace(script.find("INDEX=0x24"), 10, "INDEX=0x7E");
  return script;
}

}  // namespace

std::vector<BlockPlan> ToolConfigSampleBlocks(std::vector<uint8_t> toolcfg) {
  std::vector<BlockPlan> blocks;
  blocks.push_back(Version());
  for (BlockPlan& block : ConfigBlocks(std::move(toolcfg)))
    blocks.push_back(std::move(block));
  return blocks;
}

std::vector<BlockPlan> ToolConfigSampleBlocks() {
  return ToolConfigSampleBlocks(Packed(kScript));
}

std::vector<uint8_t> GzipCompress(std::span<const uint8_t> bytes) {
  z_stream stream{};
  // 15 bits of window plus 16: a gzip header and trailer instead of zlib's.
  constexpr int kGzipWindowBits = 15 + 16;
  if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, kGzipWindowBits, 8,
                   Z_DEFAULT_STRATEGY) != Z_OK)
    return {};
  std::vector<uint8_t> out(deflateBound(&stream, static_cast<uLong>(bytes.size())) + 32);
  stream.next_in = const_cast<Bytef*>(bytes.data());
  stream.avail_in = static_cast<uInt>(bytes.size());
  stream.next_out = out.data();
  stream.avail_out = static_cast<uInt>(out.size());
  const int status = deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  if (status != Z_STREAM_END)
    return {};
  return out;
}

std::string_view SampleToolConfigScript() {
  return kScript;
}

void GenerateToolConfigSamples(std::vector<SampleFile>& out) {
  out.push_back({"toolcfg/script-qv.cfg", TextBytes(kScript)});
  out.push_back({"toolcfg/new-toolcfg.bin", OneBank(Packed(kScript))});
  out.push_back({"toolcfg/new-toolcfg-two-banks.bin", TwoBanks()});
  // Refused ones: each Parse ends with its message.
  out.push_back({"toolcfg/new-toolcfg-not-gzip.bin", OneBank(TextBytes(kScript))});
  out.push_back(
      {"toolcfg/new-toolcfg-unknown-index.bin", OneBank(Packed(ScriptWithUnknownIndex()))});
  out.push_back({"toolcfg/new-toolcfg-no-header.bin", OneBank(Packed("SHEETID=2\n"))});
  NewFormatPlan none;
  BankPlan bank;
  bank.blocks.push_back(Version());
  none.banks.push_back(std::move(bank));
  out.push_back({"toolcfg/new-no-toolcfg.bin", BuildNewFormatImage(none).bytes});
}

namespace {
GeneratorRegistration registration("toolcfg", &GenerateToolConfigSamples);
}  // namespace

}  // namespace nuv::samples
