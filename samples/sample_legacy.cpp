// The legacy sample set: a 1 MiB legacy image with its configuration script
// beside it (named after the software version in its "ssdata" block), a
// hardware info file, block files for the rows, a configuration file and a
// key file. `nuv legacy legacy/legacy.bin ...` and the Customer Config
// dialog work on it as they would on a box's image.
#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "image_builder.h"
#include "sample_set.h"

namespace nuv::samples {
namespace {

constexpr std::string_view kVersion = "LEGACY-V1.0";
constexpr uint32_t kLength = 0x100000;
constexpr uint32_t kConfigOffset = 0x100;
constexpr uint32_t kConfigLength = 0x800;
constexpr uint32_t kDmhOffset = 0x1000;
constexpr uint32_t kTailOffset = 0xF0000;

BlockPlan Block(uint8_t id, std::string name, std::vector<uint8_t> data, uint32_t offset,
                uint8_t tail_flag = 0) {
  BlockPlan block;
  block.id = id;
  block.name = std::move(name);
  block.data = std::move(data);
  block.version = 0x01000000u + id;
  block.time = "201405121030";
  block.offset = offset;
  block.tail_flag = tail_flag;
  return block;
}

// The panel block's 64 bytes: standby on, delay 30, mode 5, the model text.
std::vector<uint8_t> PanelData() {
  std::vector<uint8_t> data(64, 0);
  data[0] = 0x01;
  data[1] = 30;
  data[2] = 0x05;
  const std::string model = "NUV-1000";
  std::copy(model.begin(), model.end(), data.begin() + 4);
  return data;
}

// A configuration region whose fields hold values the script offers:
// Options at 16 (language 1, volume 50, owner text), Region at 1024
// (country 49); `seed` varies the bytes no field covers.
std::vector<uint8_t> Config(uint32_t seed, uint8_t language, std::string_view owner) {
  std::vector<uint8_t> config = PatternBytes(kConfigLength, seed);
  config[16] = language;
  config[17] = static_cast<uint8_t>((config[17] & 0x80) | 50);
  std::fill(config.begin() + 18, config.begin() + 30, uint8_t{0});
  std::copy(owner.begin(), owner.end(), config.begin() + 18);
  config[1024] = 49;
  config[1025] = 0;
  return config;
}

LegacyPlan Image() {
  LegacyPlan plan;
  plan.length = kLength;
  plan.dmh_offset = kDmhOffset;
  plan.sdram_size = 0x00400000;  // 4 MiB: header byte 2 (0x40) times 65536
  plan.config_offset = kConfigOffset;
  plan.config = Config(1, 1, "Factory");
  std::vector<uint8_t> version(16, 0);
  std::copy(kVersion.begin(), kVersion.end(), version.begin());
  plan.blocks = {
      Block(0x01, "ssdata", version, 0x2000),
      Block(0x02, "boot", PatternBytes(0x8000, 2), 0x10000),
      Block(0x03, "kernel", PatternBytes(0x40000, 3), 0x18000),
      Block(0x04, "panel", PanelData(), 0x58000),
      Block(0x05, "hwinfo", std::vector<uint8_t>(240, 0), 0x58040),
      Block(0x06, "romfs", PatternBytes(0x20000, 6), 0x58130),
      Block(0x0A, "nvram", PatternBytes(0x10000, 10), kTailOffset, 1),
  };
  plan.blocks.back().crc = 0x4352434E;  // "NCRC": the tail carries no CRC
  return plan;
}

// Field blocks in the config area (block id 0) and in the panel entry, file
// rows for the kernel, the romfs and a logo in the config area, and the hw
// info row.
constexpr std::string_view kScript =
    "// Customer configuration of the LEGACY-V1.0 software\r\n"
    "FLASH=1M\r\n"
    "\r\n"
    "ID=0x04\r\n"
    "EM=0\r\n"
    "name=Panel\r\n"
    "OFFSET=0\r\n"
    "##[Standby][0][0][1] [Delay][0][8][8];\r\n"
    "// the display mode is one of four\r\n"
    "[Mode][2][16][4][0][15][5] [Model][1][32][128]##\r\n"
    "\r\n"
    "ID=0\r\n"
    "EM=3\r\n"
    "name=Options\r\n"
    "OFFSET=16\r\n"
    "##[Language][2][0][8][0][3][1][0 English\\n1 French\\n2 German\\n3 Spanish];\r\n"
    "[Volume][0][8][7][Start volume, 0 to 100] [Owner][1][16][96][Shown at start-up]##\r\n"
    "\r\n"
    "ID=0\r\n"
    "EM=1\r\n"
    "name=Logo\r\n"
    "OFFSET=64\r\n"
    "\r\n"
    "ID=0\r\n"
    "EM=0\r\n"
    "name=Region\r\n"
    "OFFSET=1024\r\n"
    "##[Country][0][0][16]##\r\n"
    "\r\n"
    "ID=3\r\n"
    "EM=1\r\n"
    "name=kernel\r\n"
    "\r\n"
    "ID=5\r\n"
    "EM=2\r\n"
    "name=Front panel\r\n"
    "\r\n"
    "ID=6\r\n"
    "EM=1\r\n"
    "name=romfs\r\n";

constexpr std::string_view kHwInfo =
    "// front panel of the NUV-1000\r\n"
    "panel starts\r\n"
    "0x01, 0x02, 0x1F,\r\n"
    "0x00, 0x10,##\r\n"
    "----\r\n"
    "led starts\r\n"
    "{'0', 0x3F}, {'1', 0x06}, {'2', 0x5B}, {'3', 0x4F},\r\n"
    "{'A', 0x77}, {' ', 0x00},##\r\n";

void Generate(std::vector<SampleFile>& out) {
  const auto add = [&](std::string name, std::vector<uint8_t> bytes) {
    out.push_back({"legacy/" + std::move(name), std::move(bytes)});
  };
  add("legacy.bin", BuildLegacyImage(Image()).bytes);
  add(std::string(kVersion), TextBytes(kScript));
  add("hwinfo.txt", TextBytes(kHwInfo));
  add("kernel-new.bin", PatternBytes(0x3F000, 33));  // 4 KiB shorter than the kernel
  add("romfs-new.bin", PatternBytes(0x24000, 66));   // 16 KiB longer than the romfs
  add("logo.bin", PatternBytes(0x180, 77));          // ends before the Region block
  add("config.bin", Config(88, 2, "Customer"));
  add("key.pub", PatternBytes(160, 99));
}

GeneratorRegistration registration("legacy", &Generate);

}  // namespace
}  // namespace nuv::samples
