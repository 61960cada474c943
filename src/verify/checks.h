#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "image/flash_image.h"
#include "image/image_layout.h"
#include "support/command_runner.h"
#include "support/messages.h"
#include "verify/finding.h"

namespace nuv::verify {

// The checks of one pre-parsed image. Each adds what it finds to `out`.

// What the tool's operations showed while a check ran them, as one text.
std::string MessageText(const RecordedMessages& messages);

// A span of the image: [start, end).
struct Area {
  uint64_t start = 0;
  uint64_t end = 0;
};

// Every block's data lies inside the image, and the CRC-32 of the data is
// the entry's crc; an entry whose crc is "NCRC" is not checked (a warning
// says so).
void CheckBlockData(std::span<const uint8_t> image, const image::ImageLayout& layout,
                    std::vector<Finding>& out);

// Within each bank, no two blocks share a byte, no block lies over the
// bank's header, and (legacy) neither does the configuration area.
// Blocks of size 0 occupy nothing.
void CheckOverlaps(const image::ImageLayout& layout, std::optional<Area> config_area,
                   std::vector<Finding>& out);

// New format: blocks that Save New Flash aligns start on their boundary.
void CheckAlignment(const image::ImageLayout& layout, std::vector<Finding>& out);

// Bank headers: every counted entry is written (not blank); new format:
// every bank gives the same SDRAM size, and no magic outside the blocks
// lacks its marker (a bank that Pre-Parse would not see).
void CheckBankHeaders(std::span<const uint8_t> image, const image::ImageLayout& layout,
                      image::ImageKind kind, std::vector<Finding>& out);

// Legacy: the configuration area lies inside the image; it is returned.
std::optional<Area> CheckConfigArea(const image::FlashImage& flash, std::vector<Finding>& out);

// Legacy: entries with the tail flag lie in the tail area that Generate
// keeps (from the first of them to the end), and no other entry reaches
// into it.
void CheckTailEntries(const image::FlashImage& flash, std::vector<Finding>& out);

// Legacy: an "ssdata" block holds the software version that names the
// script.
void CheckSoftwareVersion(const image::FlashImage& flash, std::vector<Finding>& out);

// Legacy: the script at flash.script_path parses, and every field of its
// field blocks lies inside its block: the legacy entry's data, or the
// configuration area for block id 0. A script that is not there is only a
// warning when it was looked for beside the image; one that the user named
// (`script_named`) must be there.
void CheckLegacyScript(const image::FlashImage& flash, bool script_named,
                       std::optional<Area> config_area, std::vector<Finding>& out);

// New format: the "toolcfg" block unpacks with gzip and its script parses
// against the image's blocks, every item inside its block's data.
void CheckToolConfig(const image::FlashImage& flash, CommandRunner& runner,
                     std::vector<Finding>& out);

// New format: the "preset" block, where there is one, unpacks with lzma to
// a preset table that the export reads whole.
void CheckPresetTable(image::FlashImage& flash, CommandRunner& runner, std::vector<Finding>& out);

}  // namespace nuv::verify
