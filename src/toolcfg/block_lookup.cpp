#include "toolcfg/block_lookup.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>

namespace nuv::toolcfg {
namespace {

constexpr size_t kNameBytes = 8;

bool NameMatches(const image::BlockRecord& record, std::string_view name, uint8_t length) {
  const size_t count = std::min<size_t>(length, kNameBytes);
  const auto bytes = record.entry.name_bytes();
  for (size_t i = 0; i < count; ++i) {
    const uint8_t wanted = i < name.size() ? static_cast<uint8_t>(name[i]) : 0;
    if (bytes[i] != wanted)
      return false;
  }
  return true;
}

// The name as the message shows it: up to its first zero byte.
std::string NameText(std::string_view name) {
  return std::string(name.substr(0, name.find('\0')));
}

std::string Hex(uint8_t id) {
  char text[8];
  std::snprintf(text, sizeof text, "%x", id);
  return text;
}

// The index of the first record that satisfies `match`, after which a miss
// shows `miss`.
template <typename Match>
std::optional<size_t> Find(const image::BlockTable& table, Match match, const std::string& miss,
                           Messages& messages) {
  for (size_t i = 0; i < table.records.size(); ++i)
    if (match(table.records[i]))
      return i;
  messages.Show(BoxCaption::Application, miss);
  return std::nullopt;
}

std::optional<size_t> ByName(const image::BlockTable& table, std::string_view name, uint8_t length,
                             Messages& messages) {
  return Find(
      table, [&](const image::BlockRecord& r) { return NameMatches(r, name, length); },
      "ERROR!! can not find block[" + NameText(name) + "]in dmh!", messages);
}

std::optional<size_t> ById(const image::BlockTable& table, uint8_t id, Messages& messages) {
  return Find(
      table, [&](const image::BlockRecord& r) { return r.entry.block_id() == id; },
      "ERROR!! can not find block id[0x" + Hex(id) + "]in dmh!", messages);
}

std::optional<size_t> ByNameAndId(const image::BlockTable& table, std::string_view name,
                                  uint8_t length, uint8_t id, Messages& messages) {
  return Find(
      table,
      [&](const image::BlockRecord& r) {
        return r.entry.block_id() == id && NameMatches(r, name, length);
      },
      "ERROR!! can not find block [" + NameText(name) + "] id[0x" + Hex(id) + "]in dmh!", messages);
}

template <typename Table>
auto* Record(Table& table, std::optional<size_t> index) {
  return index ? &table.records[*index] : nullptr;
}

}  // namespace

image::BlockRecord* FindBlockByName(image::BlockTable& table, std::string_view name, uint8_t length,
                                    Messages& messages) {
  return Record(table, ByName(table, name, length, messages));
}

const image::BlockRecord* FindBlockByName(const image::BlockTable& table, std::string_view name,
                                          uint8_t length, Messages& messages) {
  return Record(table, ByName(table, name, length, messages));
}

image::BlockRecord* FindBlockById(image::BlockTable& table, uint8_t id, Messages& messages) {
  return Record(table, ById(table, id, messages));
}

const image::BlockRecord* FindBlockById(const image::BlockTable& table, uint8_t id,
                                        Messages& messages) {
  return Record(table, ById(table, id, messages));
}

image::BlockRecord* FindBlockByNameAndId(image::BlockTable& table, std::string_view name,
                                         uint8_t length, uint8_t id, Messages& messages) {
  return Record(table, ByNameAndId(table, name, length, id, messages));
}

const image::BlockRecord* FindBlockByNameAndId(const image::BlockTable& table,
                                               std::string_view name, uint8_t length, uint8_t id,
                                               Messages& messages) {
  return Record(table, ByNameAndId(table, name, length, id, messages));
}

}  // namespace nuv::toolcfg
