#include <algorithm>
#include <cstdint>

#include "exchange/exchange.h"
#include "exchange/preset_packing.h"
#include "exchange/preset_table.h"
#include "toolcfg/block_lookup.h"
#include "toolcfg/extract.h"
#include "toolcfg/script_unpacking.h"
#include "toolcfg/tool_config_parser.h"
#include "verify/checks.h"
#include "workbook/cell_grid.h"

namespace nuv::verify {
namespace {

std::optional<BlockRef> NamedBlock(const image::BlockTable& table, std::string_view name,
                                   size_t length) {
  RecordedMessages ignored;  // a miss is what the caller reports
  const image::BlockRecord* record =
      toolcfg::FindBlockByName(table, name, static_cast<uint8_t>(length), ignored);
  return record ? std::optional(RefOf(record->entry)) : std::nullopt;
}

// What the export does not carry over from a table it reads.
void CheckTableContent(const std::vector<uint8_t>& bytes, const BlockRef& block,
                       std::vector<Finding>& out) {
  const std::string_view magic = exchange::kPresetMagic;
  const std::string head(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(
                                                            std::min(bytes.size(), magic.size())));
  if (bytes.size() < exchange::kPresetHeaderSize || head != magic) {
    out.push_back({Severity::Error, kCheckPreset, block, FindingValue::Text(std::string(magic)),
                   FindingValue::Text(head),
                   "its data unpacks to " + std::to_string(bytes.size()) +
                       " bytes, which are no preset table (one begins with \"presetdata\" and "
                       "its row and column counts)"});
    return;
  }
  const exchange::PresetTable table = exchange::ReadPresetTable(bytes);
  if (table.unterminated)
    out.push_back({Severity::Error, kCheckPreset, block, FindingValue::Text("a terminated text"),
                   FindingValue::Text("the end of the table"),
                   "its table ends inside a cell text: the table is cut short"});
  if (table.texts_cut)
    out.push_back({Severity::Warning, kCheckPreset, block, FindingValue::Count(0),
                   FindingValue::Count(table.texts_cut),
                   std::to_string(table.texts_cut) +
                       " cell texts are longer than the 32766 characters a cell holds; the "
                       "export cuts them"});
  const auto outside = static_cast<uint64_t>(
      std::count_if(table.cells.begin(), table.cells.end(), [](const exchange::PresetCell& c) {
        return c.row > workbook::kMaxRows || c.column > workbook::kMaxColumns;
      }));
  if (outside)
    out.push_back({Severity::Warning, kCheckPreset, block, FindingValue::Count(0),
                   FindingValue::Count(outside),
                   std::to_string(outside) +
                       " cells lie beyond the 65536 rows or 256 columns of a sheet; the export "
                       "leaves them out"});
}

}  // namespace

void CheckToolConfig(const image::FlashImage& flash, CommandRunner& runner,
                     std::vector<Finding>& out) {
  RecordedMessages messages;
  const toolcfg::UnpackedScript script = toolcfg::UnpackToolConfigScript(flash, runner, messages);
  if (script.result == toolcfg::UnpackResult::kNoToolConfigBlock) {
    out.push_back({Severity::Warning, kCheckToolConfig, std::nullopt, FindingValue::Text("toolcfg"),
                   FindingValue(),
                   "no block name begins with \"toolcfg\": the image carries no tool-config "
                   "script, so Parse cannot configure it"});
    return;
  }
  const std::optional<BlockRef> block =
      NamedBlock(flash.table, toolcfg::kToolConfigBlockName, toolcfg::kToolConfigBlockName.size());
  if (script.result != toolcfg::UnpackResult::kUnpacked) {
    out.push_back({Severity::Error, kCheckToolConfig, block, FindingValue::Text("gzip data"),
                   FindingValue(), "its script cannot be unpacked: " + MessageText(messages)});
    return;
  }
  messages.clear();
  toolcfg::ToolConfig model;
  if (toolcfg::ParseToolConfigText(model, script.text, flash.table, messages) !=
      toolcfg::ParseResult::kParsed)
    out.push_back({Severity::Error, kCheckToolConfig, block,
                   FindingValue::Text("a script that parses against the image"), FindingValue(),
                   "its script does not parse: " +
                       (messages.shown().empty()
                            ? std::string("no \"CFGHEADER=toolcfg\" line, or a line lacks a value")
                            : MessageText(messages))});
}

void CheckPresetTable(image::FlashImage& flash, CommandRunner& runner, std::vector<Finding>& out) {
  RecordedMessages messages;
  image::BlockRecord* preset = toolcfg::FindBlockByName(flash.table, exchange::kPresetBlockName,
                                                        exchange::kPresetNameLength, messages);
  if (!preset)
    return;  // the export then writes the sheets without a table
  const BlockRef block = RefOf(preset->entry);
  toolcfg::ToolConfig model;
  exchange::WorkbookExchange work{model, flash.table, runner, messages};
  std::span<const uint8_t> packed = preset->data.bytes();
  packed = packed.first(std::min<size_t>(packed.size(), preset->entry.size()));
  const std::optional<std::vector<uint8_t>> table = exchange::UnpackPreset(work, packed);
  if (!table) {
    out.push_back({Severity::Error, kCheckPreset, block, FindingValue::Text("lzma data"),
                   FindingValue(), "its data does not unpack with lzma: " + MessageText(messages)});
    return;
  }
  CheckTableContent(*table, block, out);
}

}  // namespace nuv::verify
