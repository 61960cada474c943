#include "diff/byte_ranges.h"

#include <algorithm>
#include <string_view>

#include "common/bytes.h"
#include "diff/byte_compare.h"
#include "image/legacy_header.h"
#include "legacy/generate.h"

namespace nuv::diff {
namespace {

struct Area {
  uint64_t begin = 0;
  uint64_t end = 0;
  int rank = 0;  // the higher one names bytes that lie in several areas
  std::string_view name;
};

void AddAreas(const image::FlashImage& flash, const image::ImageLayout& layout,
              std::vector<Area>& areas) {
  const bool legacy = flash.kind == image::ImageKind::Legacy;
  for (const image::BankHeader& header : layout.headers)
    areas.push_back({header.start, header.end, 1, legacy ? "block header" : "DM header"});
  if (!legacy)
    return;
  if (const auto config = common::ReadU32(flash.bytes(), image::kLegacyConfigOffsetPos)) {
    areas.push_back({*config, uint64_t{*config} + flash.config_length, 2, "configuration region"});
    const uint64_t key = uint64_t{*config} + legacy::kKeyRecordOffset;
    areas.push_back({key, key + legacy::kKeyRecordSize, 3, "key record"});
  }
}

// A stretch of positions that no block covers, all in one area.
struct Segment {
  uint64_t begin = 0;
  uint64_t end = 0;
  std::string_view area;
};

std::vector<Segment> UncoveredSegments(uint64_t length, const std::vector<Area>& areas,
                                       const std::vector<image::PlacedBlock>& old_blocks,
                                       const std::vector<image::PlacedBlock>& new_blocks) {
  std::vector<std::pair<uint64_t, uint64_t>> covered;
  for (const auto* blocks : {&old_blocks, &new_blocks})
    for (const image::PlacedBlock& block : *blocks)
      if (block.entry.size() != 0)
        covered.emplace_back(block.start, block.end());
  std::vector<uint64_t> cuts = {0, length};
  for (const auto& [begin, end] : covered)
    cuts.insert(cuts.end(), {begin, end});
  for (const Area& area : areas)
    cuts.insert(cuts.end(), {area.begin, area.end});
  std::sort(cuts.begin(), cuts.end());
  cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());

  std::vector<Segment> segments;
  for (size_t k = 0; k + 1 < cuts.size() && cuts[k] < length; ++k) {
    const uint64_t begin = cuts[k];
    const uint64_t end = std::min(cuts[k + 1], length);
    if (std::any_of(covered.begin(), covered.end(),
                    [&](const auto& c) { return c.first <= begin && begin < c.second; }))
      continue;
    const Area* named = nullptr;
    for (const Area& area : areas)
      if (area.begin <= begin && begin < area.end && (!named || area.rank > named->rank))
        named = &area;
    const std::string_view name = named ? named->name : std::string_view();
    if (!segments.empty() && segments.back().end == begin && segments.back().area == name)
      segments.back().end = end;
    else
      segments.push_back({begin, end, name});
  }
  return segments;
}

void Add(std::vector<ByteRange>& ranges, uint64_t begin, uint64_t end, std::string_view area) {
  ranges.push_back({begin, end - begin, std::string(area)});
}

}  // namespace

std::vector<ByteRange> CompareBytesOutsideBlocks(const image::FlashImage& old_image,
                                                 const image::FlashImage& new_image,
                                                 const image::ImageLayout& old_layout,
                                                 const image::ImageLayout& new_layout) {
  const std::span<const uint8_t> a = old_image.bytes();
  const std::span<const uint8_t> b = new_image.bytes();
  const uint64_t common = std::min(a.size(), b.size());
  const uint64_t length = std::max(a.size(), b.size());
  std::vector<Area> areas;
  AddAreas(old_image, old_layout, areas);
  AddAreas(new_image, new_layout, areas);

  std::vector<ByteRange> ranges;
  for (const Segment& segment :
       UncoveredSegments(length, areas, old_layout.blocks, new_layout.blocks)) {
    const size_t end = static_cast<size_t>(std::min(segment.end, common));
    size_t pos = static_cast<size_t>(segment.begin);
    while (pos < end) {
      const auto first = FirstDifference(a.subspan(pos, end - pos), b.subspan(pos, end - pos));
      if (!first)
        break;
      const size_t start = pos + *first;
      pos = DifferenceRunEnd(a.first(end), b.first(end), start, kRangeBridge);
      Add(ranges, start, pos, segment.area);
    }
    // Bytes only the longer image has.
    const uint64_t beyond = std::max(segment.begin, common);
    if (beyond < segment.end) {
      if (!ranges.empty() && ranges.back().offset >= segment.begin &&
          beyond - (ranges.back().offset + ranges.back().length) < kRangeBridge)
        ranges.back().length = segment.end - ranges.back().offset;
      else
        Add(ranges, beyond, segment.end, segment.area);
    }
  }
  return ranges;
}

}  // namespace nuv::diff
