#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "image_builder.h"
#include "sample_set.h"

namespace nuv::samples {

// `bytes` in the gzip format, as `gzip` writes it (no name, no time stamp),
// so the same bytes always give the same file.
std::vector<uint8_t> GzipCompress(std::span<const uint8_t> bytes);

// The tool-config script of the samples (also written as
// "toolcfg/script-qv.cfg"): comments, FLASH, CFGHEADER, three sheets with
// their titles, blocks with EM, INDEX (hexadecimal with and without "0x")
// and OFFSET, item lines beginning with "[" and "##", several items on one
// line, numbers, range items over odd bit offsets, a 64-bit field and texts.
std::string_view SampleToolConfigScript();

// Values the sample blocks hold for the script's items.
inline constexpr uint64_t kSamplePowerKey = 0x0C;     // irkeys: Power
inline constexpr uint64_t kSampleCustomCode = 0xABC;  // irkeys: Custom code (12 bits at bit 28)
inline constexpr uint64_t kSampleVolume = 37;         // sysconf: Volume (7 bits at bit 1)
inline constexpr uint64_t kSampleChannel = 4321;      // sysconf: Channel (14 bits at bit 9)
inline constexpr uint64_t kSampleSerial = 0xF00DFACE12345678;     // sysconf: Serial (64 bits at 27)
inline constexpr std::string_view kSampleRegion = "EUROPE-WEST";  // sysconf: Region
inline constexpr std::string_view kSampleWelcome = "HELLO NUV";   // panel: Welcome

// The blocks of the one-bank sample image, in bank order: "ssdata", the
// configuration blocks the script names (irkeys 0x22, sysconf 0x21, panel
// 0x23, logo 0x24, hwinfo 0x25) and "toolcfg" carrying `toolcfg` (by
// default the sample script, gzip-compressed).
// A block of the new-format samples: version 1.0, dated as the samples are.
BlockPlan ToolConfigSampleBlock(uint8_t id, std::string name, std::vector<uint8_t> data);

std::vector<BlockPlan> ToolConfigSampleBlocks(std::vector<uint8_t> toolcfg);
std::vector<BlockPlan> ToolConfigSampleBlocks();

// The files of the "toolcfg" samples: the script, two new-format images that
// carry it (one bank; a boot bank and a configuration bank), and images
// whose Parse fails: a toolcfg block that is not gzip data, a script whose
// INDEX names a missing block, a script without its header, no toolcfg block.
void GenerateToolConfigSamples(std::vector<SampleFile>& out);

}  // namespace nuv::samples
