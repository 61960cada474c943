#include "framework/message_map.h"

namespace nuv::fw {

MessageMap::MessageMap(const MessageMap* base, std::initializer_list<MessageMapEntry> entries)
    : base_(base), entries_(entries) {}

const MessageMapEntry* MessageMap::Find(uint32_t id, uint32_t code) const {
  for (const MessageMap* map = this; map != nullptr; map = map->base_) {
    for (const MessageMapEntry& entry : map->entries_) {
      if (entry.code == code && id >= entry.first_id && id <= entry.last_id && entry.handler)
        return &entry;
    }
  }
  return nullptr;
}

}  // namespace nuv::fw
