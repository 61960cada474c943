#include <algorithm>
#include <cstdio>

#include "common/bytes.h"
#include "image/grid_row.h"
#include "image/legacy_header.h"
#include "legacy/field_bits.h"
#include "legacy/generate.h"
#include "legacy/script_parser.h"
#include "verify/checks.h"

namespace nuv::verify {
namespace {

BlockRef RefOf(const legacy::ScriptBlock& block) {
  return {block.block_id, block.name};
}

// The image bytes a field covers: whole bytes from the one that holds its
// first bit to the one after its last.
Area FieldArea(uint64_t base, const legacy::ScriptField& field) {
  if (field.type == legacy::kTextField) {
    const legacy::ByteSpan span = legacy::TextFieldBytes(base, field);
    return {span.first, span.first + span.count};
  }
  const uint64_t first_bit = legacy::FieldFirstBit(base, field);
  return {first_bit / 8, (first_bit + field.bit_length + 7) / 8};
}

void CheckFields(const image::FlashImage& flash, const legacy::ScriptBlock& block,
                 std::optional<Area> config_area, std::vector<Finding>& out) {
  RecordedMessages messages;
  const std::optional<legacy::BlockBase> base = legacy::FindBlockBase(flash, block, messages);
  if (!base) {
    out.push_back({Severity::Error, kCheckScript, RefOf(block),
                   FindingValue::Text("a legacy entry for the block"), FindingValue(),
                   "its fields have no block to lie in: " + MessageText(messages)});
    return;
  }
  Area data{0, flash.bytes().size()};
  std::string what = "the image";
  if (base->entry) {
    const image::BlockEntry& entry = flash.legacy_entries[*base->entry];
    data = {entry.offset(), uint64_t{entry.offset()} + entry.size()};
    what = "its block's data";
  } else if (config_area) {
    data = *config_area;
    what = "the configuration area";
  }
  for (const legacy::ScriptField& field : block.fields) {
    if (field.type != legacy::kNumberField && field.type != legacy::kTextField &&
        field.type != legacy::kListField)
      continue;  // a label only: the field edit dialog reads no bits for it
    const Area area = FieldArea(base->byte, field);
    if (area.start >= data.start && area.end <= data.end)
      continue;
    out.push_back({Severity::Error, kCheckScriptField, RefOf(block), FindingValue::Hex(data.end),
                   FindingValue::Hex(area.end),
                   "field [" + field.name + "] (" + Hex(area.start) + " to " + Hex(area.end) +
                       ") does not lie inside " + what + " (" + Hex(data.start) + " to " +
                       Hex(data.end) + ")"});
  }
}

}  // namespace

std::optional<Area> CheckConfigArea(const image::FlashImage& flash, std::vector<Finding>& out) {
  const std::span<const uint8_t> bytes = flash.bytes();
  const uint64_t start = common::ReadU32(bytes, image::kLegacyConfigOffsetPos).value_or(0);
  const uint64_t end = start + flash.config_length;
  if (!image::LegacyConfigRegion(bytes, flash.config_length)) {
    out.push_back({Severity::Error, kCheckConfigArea, std::nullopt, FindingValue::Hex(bytes.size()),
                   FindingValue::Hex(end),
                   "the configuration area (" + Hex(start) + " to " + Hex(end) +
                       ") runs past the image end at " + Hex(bytes.size())});
    return std::nullopt;
  }
  if (start == end)
    return std::nullopt;  // occupies nothing
  return Area{start, end};
}

void CheckTailEntries(const image::FlashImage& flash, std::vector<Finding>& out) {
  const image::BlockEntry* first_tail = legacy::FirstTailEntry(flash.legacy_entries);
  if (!first_tail)
    return;
  const uint64_t tail = first_tail->offset();
  for (const image::BlockEntry& entry : flash.legacy_entries) {
    const uint64_t end = uint64_t{entry.offset()} + entry.size();
    if (entry.tail_flag() == 1) {
      if (entry.offset() < tail)
        out.push_back({Severity::Error, kCheckTail, RefOf(entry), FindingValue::Hex(tail),
                       FindingValue::Hex(entry.offset()),
                       "its tail flag keeps it in place, but it starts at " + Hex(entry.offset()) +
                           ", below the tail area that the first tail "
                           "entry begins at " +
                           Hex(tail)});
    } else if (entry.size() != 0 && entry.offset() < tail && end > tail) {
      out.push_back({Severity::Error, kCheckTail, RefOf(entry), FindingValue::Hex(tail),
                     FindingValue::Hex(end),
                     "its data (" + Hex(entry.offset()) + " to " + Hex(end) +
                         ") reaches into the tail area from " + Hex(tail) +
                         ", which Generate keeps free of other blocks"});
    } else if (entry.size() != 0 && entry.offset() >= tail) {
      out.push_back({Severity::Warning, kCheckTail, RefOf(entry), FindingValue::Hex(tail),
                     FindingValue::Hex(entry.offset()),
                     "it lies in the tail area (from " + Hex(tail) +
                         ") without the tail flag: Generate never moves it"});
    }
  }
}

void CheckSoftwareVersion(const image::FlashImage& flash, std::vector<Finding>& out) {
  const auto& entries = flash.legacy_entries;
  const auto block = std::find_if(entries.begin(), entries.end(), image::IsSoftwareVersionBlock);
  if (block == entries.end()) {
    out.push_back({Severity::Error, kCheckSoftwareVersion, std::nullopt,
                   FindingValue::Text("ssdata"), FindingValue(),
                   "no \"ssdata\" block: the image names no software version, so Parse finds "
                   "no script beside it"});
  } else if (flash.software_version.empty()) {
    out.push_back({Severity::Error, kCheckSoftwareVersion, RefOf(*block),
                   FindingValue::Text("a software version"), FindingValue::Text(""),
                   "its version text is empty, so Parse finds no script beside the image"});
  }
}

void CheckLegacyScript(const image::FlashImage& flash, bool script_named,
                       std::optional<Area> config_area, std::vector<Finding>& out) {
  RecordedMessages messages;
  legacy::LegacyBlockList list;
  const legacy::ScriptParseResult parsed = legacy::ParseLegacyScript(flash, list, messages);
  if (parsed.status == legacy::ScriptParseStatus::kCannotOpen) {
    if (script_named)
      out.push_back({Severity::Error, kCheckScript, std::nullopt,
                     FindingValue::Text(flash.script_path), FindingValue(),
                     "the script " + flash.script_path + " cannot be opened"});
    else
      out.push_back({Severity::Warning, kCheckScript, std::nullopt,
                     FindingValue::Text(flash.script_path), FindingValue(),
                     "not checked: no script beside the image (" + flash.script_path +
                         "); name one with --script"});
    return;
  }
  if (parsed.status != legacy::ScriptParseStatus::kParsed) {
    out.push_back(
        {Severity::Error, kCheckScript, std::nullopt, FindingValue::Text("a script that parses"),
         FindingValue::Text(MessageText(messages)),
         "the script " + flash.script_path + " does not parse: " + MessageText(messages)});
    return;
  }
  for (const legacy::ScriptBlock& block : list.blocks())
    if (block.is_field_block() && !block.fields.empty())
      CheckFields(flash, block, config_area, out);
}

}  // namespace nuv::verify
