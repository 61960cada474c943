#include "diff/block_changes.h"

#include <algorithm>
#include <optional>

#include "diff/byte_compare.h"
#include "image/crc32.h"

namespace nuv::diff {
namespace {

constexpr size_t kUnmatched = SIZE_MAX;

bool SameBlock(const image::PlacedBlock& a, const image::PlacedBlock& b) {
  return a.entry.block_id() == b.entry.block_id() && a.entry.name() == b.entry.name();
}

// For each block, how many blocks of its id, name and bank come before it.
std::vector<size_t> OrderInBank(const std::vector<image::PlacedBlock>& blocks) {
  std::vector<size_t> order(blocks.size(), 0);
  for (size_t i = 0; i < blocks.size(); ++i)
    for (size_t j = 0; j < i; ++j)
      if (SameBlock(blocks[j], blocks[i]) && blocks[j].bank == blocks[i].bank)
        ++order[i];
  return order;
}

// partner[i]: the new block matched with old block i, or kUnmatched.
std::vector<size_t> Match(const std::vector<image::PlacedBlock>& olds,
                          const std::vector<image::PlacedBlock>& news) {
  const std::vector<size_t> old_order = OrderInBank(olds);
  const std::vector<size_t> new_order = OrderInBank(news);
  std::vector<size_t> partner(olds.size(), kUnmatched);
  std::vector<bool> taken(news.size(), false);
  const auto pair_up = [&](bool same_place) {
    for (size_t i = 0; i < olds.size(); ++i) {
      if (partner[i] != kUnmatched)
        continue;
      for (size_t j = 0; j < news.size(); ++j) {
        if (taken[j] || !SameBlock(news[j], olds[i]))
          continue;
        if (same_place && (news[j].bank != olds[i].bank || new_order[j] != old_order[i]))
          continue;
        partner[i] = j;
        taken[j] = true;
        break;
      }
    }
  };
  pair_up(true);
  pair_up(false);
  return partner;
}

BlockPlace PlaceOf(const image::PlacedBlock& block) {
  return {block.start, block.entry.size(), block.entry.crc()};
}

BlockChange Change(const image::PlacedBlock& block, BlockChangeKind kind,
                   const image::PlacedBlock* old_block, const image::PlacedBlock* new_block) {
  BlockChange change;
  change.id = block.entry.block_id();
  change.name = block.entry.name();
  change.change = kind;
  if (old_block)
    change.old_place = PlaceOf(*old_block);
  if (new_block)
    change.new_place = PlaceOf(*new_block);
  return change;
}

// The content change of a matched pair, when their data differ.
std::optional<BlockChange> ContentChange(const image::PlacedBlock& a, const image::PlacedBlock& b) {
  const size_t common = std::min(a.data.size(), b.data.size());
  const auto head_a = a.data.first(common);
  const auto head_b = b.data.first(common);
  const std::optional<size_t> first = FirstDifference(head_a, head_b);
  if (!first && a.data.size() == b.data.size())
    return std::nullopt;
  BlockChange change = Change(a, BlockChangeKind::kContent, &a, &b);
  change.first_difference = first.value_or(common);
  change.differing_bytes =
      (first ? CountDifferences(head_a.subspan(*first), head_b.subspan(*first)) : 0) +
      (std::max(a.data.size(), b.data.size()) - common);
  change.old_place->crc = image::UpdateCrc(image::kCrcStart, a.data);
  change.new_place->crc = image::UpdateCrc(image::kCrcStart, b.data);
  return change;
}

}  // namespace

std::vector<BlockChange> CompareBlocks(const std::vector<image::PlacedBlock>& old_blocks,
                                       const std::vector<image::PlacedBlock>& new_blocks) {
  const std::vector<size_t> partner = Match(old_blocks, new_blocks);
  std::vector<BlockChange> changes;
  std::vector<bool> matched(new_blocks.size(), false);
  for (size_t i = 0; i < old_blocks.size(); ++i) {
    const image::PlacedBlock& a = old_blocks[i];
    if (partner[i] == kUnmatched) {
      changes.push_back(Change(a, BlockChangeKind::kRemoved, &a, nullptr));
      continue;
    }
    const image::PlacedBlock& b = new_blocks[partner[i]];
    matched[partner[i]] = true;
    if (a.start != b.start)
      changes.push_back(Change(a, BlockChangeKind::kMoved, &a, &b));
    if (a.entry.size() != b.entry.size())
      changes.push_back(Change(a, BlockChangeKind::kResized, &a, &b));
    if (std::optional<BlockChange> content = ContentChange(a, b))
      changes.push_back(std::move(*content));
    else if (a.entry.crc() != b.entry.crc())
      changes.push_back(Change(a, BlockChangeKind::kCrc, &a, &b));
  }
  for (size_t j = 0; j < new_blocks.size(); ++j)
    if (!matched[j])
      changes.push_back(Change(new_blocks[j], BlockChangeKind::kAdded, nullptr, &new_blocks[j]));
  return changes;
}

}  // namespace nuv::diff
