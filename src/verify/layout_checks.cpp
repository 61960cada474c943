#include <algorithm>
#include <cstdio>
#include <cstring>

#include "common/bytes.h"
#include "image/dm_header.h"
#include "toolcfg/new_image.h"
#include "verify/checks.h"

namespace nuv::verify {
namespace {

// A part of one bank that nothing else of the bank may share.
struct Region {
  uint64_t start = 0;
  uint64_t end = 0;
  const image::PlacedBlock* block = nullptr;  // null: the header or the configuration area
  std::string name;                           // how a text names it
};

std::string BlockName(const image::BlockEntry& entry) {
  char id[8];
  std::snprintf(id, sizeof id, "%02X", entry.block_id());
  return "block " + std::string(id) + " \"" + entry.name() + "\"";
}

// "block 21 \"sysconf\" (0x100 to 0x120)", or "its data (...)" for the
// block a finding is about.
std::string Describe(const Region& region, const image::PlacedBlock* subject) {
  const std::string span = " (" + Hex(region.start) + " to " + Hex(region.end) + ")";
  return (region.block && region.block == subject ? "its data" : region.name) + span;
}

std::vector<Region> RegionsOfBank(const image::ImageLayout& layout, const image::BankHeader& header,
                                  const std::optional<Area>& config_area) {
  std::vector<Region> regions;
  regions.push_back({header.start, header.end, nullptr, "the bank's header"});
  if (config_area)
    regions.push_back({config_area->start, config_area->end, nullptr, "the configuration area"});
  for (const image::PlacedBlock& block : layout.blocks)
    if (block.bank == header.bank && block.entry.size() != 0)
      regions.push_back({block.start, block.end(), &block, BlockName(block.entry)});
  std::stable_sort(regions.begin(), regions.end(),
                   [](const Region& a, const Region& b) { return a.start < b.start; });
  return regions;
}

// The parts of the image that no block and no header of any bank occupies.
std::vector<Area> Gaps(size_t image_size, const image::ImageLayout& layout) {
  std::vector<Area> used;
  for (const image::BankHeader& header : layout.headers)
    used.push_back({header.start, header.end});
  for (const image::PlacedBlock& block : layout.blocks)
    used.push_back({block.start, block.end()});
  std::sort(used.begin(), used.end(),
            [](const Area& a, const Area& b) { return a.start < b.start; });
  std::vector<Area> gaps;
  uint64_t from = 0;
  for (const Area& area : used) {
    if (area.start > from)
      gaps.push_back({from, std::min<uint64_t>(area.start, image_size)});
    from = std::max(from, area.end);
  }
  if (from < image_size)
    gaps.push_back({from, image_size});
  return gaps;
}

// A magic outside every block that is no header: most likely the header of
// a bank whose marker was damaged, a bank that Pre-Parse cannot see.
void CheckUnmarkedMagics(std::span<const uint8_t> image, const image::ImageLayout& layout,
                         std::vector<Finding>& out) {
  const std::span<const uint8_t> magic(image::kDmMagic);
  for (const Area& gap : Gaps(image.size(), layout)) {
    for (uint64_t pos = gap.start; pos < gap.end; ++pos) {
      const void* star =
          std::memchr(image.data() + pos, magic[0], static_cast<size_t>(gap.end - pos));
      if (!star)
        break;
      pos = static_cast<uint64_t>(static_cast<const uint8_t*>(star) - image.data());
      if (!common::InRange(image.size(), pos, magic.size()) ||
          !std::equal(magic.begin(), magic.end(), image.begin() + static_cast<ptrdiff_t>(pos)) ||
          image::IsDmHeaderAt(image, static_cast<size_t>(pos)))
        continue;
      const uint64_t marker_at = pos + image::kDmMarkerOffset;
      const FindingValue marker = marker_at < image.size()
                                      ? FindingValue::Hex(image[static_cast<size_t>(marker_at)])
                                      : FindingValue::Text("the image end");
      out.push_back({Severity::Error, kCheckBankHeader, std::nullopt,
                     FindingValue::Hex(image::kDmMarker), marker,
                     "a DM header magic at " + Hex(pos) +
                         ", outside every block, has no marker '0' 26 bytes on: Pre-Parse reads "
                         "no bank there"});
    }
  }
}

}  // namespace

void CheckOverlaps(const image::ImageLayout& layout, std::optional<Area> config_area,
                   std::vector<Finding>& out) {
  for (const image::BankHeader& header : layout.headers) {
    // Only a legacy image has a configuration area, and only one bank.
    const std::vector<Region> regions = RegionsOfBank(layout, header, config_area);
    for (size_t i = 0; i < regions.size(); ++i) {
      for (size_t j = i + 1; j < regions.size() && regions[j].start < regions[i].end; ++j) {
        const Region& first = regions[i];
        const Region& later = regions[j];
        const image::PlacedBlock* about = later.block ? later.block : first.block;
        out.push_back({Severity::Error, kCheckOverlap,
                       about ? std::optional(RefOf(about->entry)) : std::nullopt,
                       FindingValue::Hex(first.end), FindingValue::Hex(later.start),
                       Describe(later, about) + " overlaps " + Describe(first, about)});
      }
    }
  }
}

void CheckAlignment(const image::ImageLayout& layout, std::vector<Finding>& out) {
  for (const image::PlacedBlock& block : layout.blocks) {
    const uint32_t offset = block.entry.offset();
    if (!toolcfg::IsAlignedBlock(block.entry.block_id()) || offset % toolcfg::kBlockAlignment == 0)
      continue;
    const uint64_t aligned =
        (uint64_t{offset} / toolcfg::kBlockAlignment + 1) * toolcfg::kBlockAlignment;
    out.push_back({Severity::Error, kCheckAlignment, RefOf(block.entry), FindingValue::Hex(aligned),
                   FindingValue::Hex(offset),
                   "its offset " + Hex(offset) +
                       " in the bank is not on a 64 KiB boundary; Save New Flash would move it "
                       "to " +
                       Hex(aligned)});
  }
}

void CheckBankHeaders(std::span<const uint8_t> image, const image::ImageLayout& layout,
                      image::ImageKind kind, std::vector<Finding>& out) {
  for (const image::PlacedBlock& block : layout.blocks) {
    const auto& bytes = block.entry.bytes();
    for (const uint8_t fill : {uint8_t{0x00}, uint8_t{0xFF}}) {
      if (std::all_of(bytes.begin(), bytes.end(), [&](uint8_t b) { return b == fill; })) {
        out.push_back(
            {Severity::Error, kCheckBankHeader, std::nullopt, FindingValue::Text("a block entry"),
             FindingValue::Text("48 bytes of " + Hex(fill)),
             "entry " + std::to_string(block.index) + " of bank " + std::to_string(block.bank) +
                 " is blank: the header counts more entries than it holds"});
      }
    }
  }
  if (kind != image::ImageKind::NewFormat || layout.headers.empty())
    return;
  CheckUnmarkedMagics(image, layout, out);
  const image::BankHeader& first = layout.headers.front();
  const uint32_t sdram =
      common::ReadU32(image, first.start + image::kDmSdramSizeOffset).value_or(0);
  for (const image::BankHeader& header : layout.headers) {
    const uint32_t other =
        common::ReadU32(image, header.start + image::kDmSdramSizeOffset).value_or(0);
    if (other != sdram)
      out.push_back({Severity::Warning, kCheckBankHeader, std::nullopt, FindingValue::Hex(sdram),
                     FindingValue::Hex(other),
                     "bank " + std::to_string(header.bank) + " gives an SDRAM size of " +
                         Hex(other) + ", bank " + std::to_string(first.bank) + " one of " +
                         Hex(sdram) + "; Pre-Parse shows the last bank's"});
  }
}

}  // namespace nuv::verify
