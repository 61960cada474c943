#include "legacy/script_model.h"

#include <atomic>
#include <utility>

namespace nuv::legacy {
namespace {

uint64_t NextGeneration() {
  static std::atomic<uint64_t> counter{0};
  return ++counter;
}

}  // namespace

std::vector<uint32_t> ListItems(const ScriptField& field) {
  std::vector<uint32_t> items;
  if (field.list_step == 0)
    return items;
  for (uint64_t v = field.list_start; v <= field.list_end && items.size() < kMaxListItems;
       v += field.list_step)
    items.push_back(static_cast<uint32_t>(v));
  return items;
}

LegacyBlockList::LegacyBlockList() : generation_(NextGeneration()) {}

bool LegacyBlockList::Names(BlockHandle handle) const {
  return handle.generation == generation_ && handle.index < blocks_.size();
}

ScriptBlock* LegacyBlockList::Find(BlockHandle handle) {
  return Names(handle) ? &blocks_[handle.index] : nullptr;
}

const ScriptBlock* LegacyBlockList::Find(BlockHandle handle) const {
  return Names(handle) ? &blocks_[handle.index] : nullptr;
}

std::optional<size_t> LegacyBlockList::FindByControlId(uint32_t control_id) const {
  for (size_t i = 0; i < blocks_.size(); ++i)
    if (blocks_[i].control_id == control_id)
      return i;
  return std::nullopt;
}

void LegacyBlockList::Assign(std::vector<ScriptBlock> blocks) {
  blocks_ = std::move(blocks);
  generation_ = NextGeneration();
}

void FreeScriptBlocks(LegacyBlockList& list) {
  list.blocks_.clear();
  list.blocks_.shrink_to_fit();
  list.generation_ = NextGeneration();
}

ScriptBlock* FirstScriptBlock(LegacyBlockList& list) {
  return list.empty() ? nullptr : list.blocks().data();
}

const ScriptBlock* FirstScriptBlock(const LegacyBlockList& list) {
  return list.empty() ? nullptr : list.blocks().data();
}

ScriptField* FirstScriptField(ScriptBlock* block) {
  return block == nullptr || block->fields.empty() ? nullptr : block->fields.data();
}

const ScriptField* FirstScriptField(const ScriptBlock* block) {
  return block == nullptr || block->fields.empty() ? nullptr : block->fields.data();
}

}  // namespace nuv::legacy
