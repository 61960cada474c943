#include "diff_report.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <vector>

#include "text_output.h"

namespace nuv::cli {
namespace {

using diff::BlockChange;
using diff::BlockChangeKind;
using diff::Value;

std::string Hex(uint64_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%" PRIX64, value);
  return text;
}
// As the block grid shows them.
std::string Crc(uint32_t value) {
  char text[12];
  std::snprintf(text, sizeof text, "%08" PRIX32, value);
  return text;
}
std::string Id(uint8_t value) {
  char text[4];
  std::snprintf(text, sizeof text, "%02X", unsigned{value});
  return text;
}

std::string ValueText(const Value& value) {
  if (const auto* number = std::get_if<uint64_t>(&value))
    return std::to_string(*number);
  if (const auto* number = std::get_if<int64_t>(&value))
    return std::to_string(*number);
  if (const auto* text = std::get_if<std::string>(&value))
    return Quoted(*text);
  return "-";
}

std::string ValueJson(const Value& value) {
  if (const auto* text = std::get_if<std::string>(&value))
    return JsonString(*text);
  if (std::holds_alternative<std::monostate>(value))
    return "null";
  return ValueText(value);
}

const char* ChangeName(BlockChangeKind kind) {
  switch (kind) {
    case BlockChangeKind::kAdded:
      return "added";
    case BlockChangeKind::kRemoved:
      return "removed";
    case BlockChangeKind::kMoved:
      return "moved";
    case BlockChangeKind::kResized:
      return "resized";
    case BlockChangeKind::kContent:
      return "content";
    case BlockChangeKind::kCrc:
      return "crc";
  }
  return "";
}

// Rows of cells, each column as wide as its widest cell (a row's last cell
// is not padded), and headings between them that take no part in the
// widths.
class Table {
 public:
  void Row(std::vector<std::string> cells) { rows_.push_back({false, std::move(cells)}); }
  void Heading(std::string text) { rows_.push_back({true, {std::move(text)}}); }

  // Rows indented by two blanks, or by four under headings at two.
  void AppendTo(std::string& out) const {
    const bool nested =
        std::any_of(rows_.begin(), rows_.end(), [](const auto& r) { return r.first; });
    std::vector<size_t> widths;
    for (const auto& [heading, cells] : rows_)
      for (size_t c = 0; !heading && c + 1 < cells.size(); ++c) {
        widths.resize(std::max(widths.size(), c + 1));
        widths[c] = std::max(widths[c], cells[c].size());
      }
    for (const auto& [heading, cells] : rows_) {
      std::string line = heading || !nested ? "  " : "    ";
      for (size_t c = 0; c < cells.size(); ++c) {
        line += cells[c];
        if (!heading && c + 1 < cells.size())
          line += std::string(widths[c] - cells[c].size() + 2, ' ');
      }
      line.erase(line.find_last_not_of(' ') + 1);
      out += line + "\n";
    }
  }

 private:
  std::vector<std::pair<bool, std::vector<std::string>>> rows_;
};

std::string Extent(const diff::BlockPlace& place) {
  return Hex(place.offset) + ", " + Hex(place.size) + " bytes";
}

void AddBlockRow(Table& table, const BlockChange& change) {
  std::vector<std::string> row = {Id(change.id), Printable(change.name), ChangeName(change.change)};
  const diff::BlockPlace* a = change.old_place ? &*change.old_place : nullptr;
  const diff::BlockPlace* b = change.new_place ? &*change.new_place : nullptr;
  switch (change.change) {
    case BlockChangeKind::kAdded:
      row.insert(row.end(), {"", "", Extent(*b)});
      break;
    case BlockChangeKind::kRemoved:
      row.insert(row.end(), {Extent(*a)});
      break;
    case BlockChangeKind::kMoved:
      row.insert(row.end(), {Hex(a->offset), "->", Hex(b->offset)});
      break;
    case BlockChangeKind::kResized:
      row.insert(row.end(), {Hex(a->size), "->", Hex(b->size)});
      break;
    case BlockChangeKind::kContent:
      row.insert(
          row.end(),
          {"crc " + Crc(a->crc), "->", "crc " + Crc(b->crc),
           "from +" + Hex(change.first_difference) + ", " + std::to_string(change.differing_bytes) +
               (change.differing_bytes == 1 ? " byte differs" : " bytes differ")});
      break;
    case BlockChangeKind::kCrc:
      row.insert(row.end(), {"crc " + Crc(a->crc), "->", "crc " + Crc(b->crc), "data unchanged"});
      break;
  }
  table.Row(std::move(row));
}

std::string PlaceJson(const std::optional<diff::BlockPlace>& place) {
  if (!place)
    return "null";
  return "{\"offset\":" + std::to_string(place->offset) +
         ",\"size\":" + std::to_string(place->size) + ",\"crc\":" + std::to_string(place->crc) +
         "}";
}

template <typename Item, typename Write>
std::string JsonArray(const std::vector<Item>& items, Write write) {
  std::string out = "[";
  for (size_t i = 0; i < items.size(); ++i)
    out += (i ? ",{" : "{") + write(items[i]) + "}";
  return out + "]";
}

}  // namespace

std::string DiffText(const diff::ImageDiff& diff) {
  std::string out;
  const auto section = [&out](const char* title, const Table& table) {
    out += title;
    out += "\n";
    table.AppendTo(out);
  };
  if (!diff.header.empty()) {
    Table table;
    for (const diff::HeaderChange& change : diff.header)
      table.Row({change.name, ValueText(change.old_value), "->", ValueText(change.new_value)});
    section("Header", table);
  }
  if (!diff.blocks.empty()) {
    Table table;
    for (const BlockChange& change : diff.blocks)
      AddBlockRow(table, change);
    section("Blocks", table);
  }
  if (!diff.bytes.empty()) {
    Table table;
    for (const diff::ByteRange& range : diff.bytes)
      table.Row({Hex(range.offset),
                 std::to_string(range.length) + (range.length == 1 ? " byte" : " bytes"),
                 range.area});
    section("Bytes outside the blocks", table);
  }
  if (!diff.fields.empty()) {
    Table table;
    const std::string* block = nullptr;
    for (const diff::FieldChange& change : diff.fields) {
      if (!block || *block != change.block)
        table.Heading(Printable(change.block));
      block = &change.block;
      table.Row(
          {Printable(change.name),
           "bit " + std::to_string(change.bit_offset) + "+" + std::to_string(change.bit_length),
           ValueText(change.old_value), "->", ValueText(change.new_value)});
    }
    section("Fields", table);
  }
  return out;
}

std::string DiffJson(const diff::ImageDiff& diff) {
  std::string out = std::string("{\"identical\":") + (diff.identical() ? "true" : "false");
  out += ",\"header\":" + JsonArray(diff.header, [](const diff::HeaderChange& change) {
           return "\"name\":" + JsonString(change.name) +
                  ",\"old\":" + ValueJson(change.old_value) +
                  ",\"new\":" + ValueJson(change.new_value);
         });
  out += ",\"blocks\":" + JsonArray(diff.blocks, [](const BlockChange& change) {
           std::string item = "\"id\":" + std::to_string(change.id) +
                              ",\"name\":" + JsonString(change.name) + ",\"change\":\"" +
                              ChangeName(change.change) +
                              "\",\"old\":" + PlaceJson(change.old_place) +
                              ",\"new\":" + PlaceJson(change.new_place);
           if (change.change == BlockChangeKind::kContent)
             item += ",\"first_difference\":" + std::to_string(change.first_difference) +
                     ",\"differing_bytes\":" + std::to_string(change.differing_bytes);
           return item;
         });
  out += ",\"bytes\":" + JsonArray(diff.bytes, [](const diff::ByteRange& range) {
           return "\"offset\":" + std::to_string(range.offset) +
                  ",\"length\":" + std::to_string(range.length) +
                  ",\"area\":" + JsonString(range.area);
         });
  out += ",\"fields\":" + JsonArray(diff.fields, [](const diff::FieldChange& change) {
           return "\"block\":" + JsonString(change.block) + ",\"name\":" + JsonString(change.name) +
                  ",\"bit_offset\":" + std::to_string(change.bit_offset) +
                  ",\"bit_length\":" + std::to_string(change.bit_length) +
                  ",\"old\":" + ValueJson(change.old_value) +
                  ",\"new\":" + ValueJson(change.new_value);
         });
  return out + "}\n";
}

}  // namespace nuv::cli
