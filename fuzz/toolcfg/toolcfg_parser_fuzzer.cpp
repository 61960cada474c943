// Any bytes as a tool-config script, parsed against a small block table.
// Besides not crashing and not reading outside a buffer, the parse must
// give one of its results, keep every text within its limit, name only the
// three sheets, and read no value the block data does not hold.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "image/block_table.h"
#include "support/messages.h"
#include "toolcfg/tool_config.h"
#include "toolcfg/tool_config_parser.h"

namespace {

using nuv::fuzz::Check;

using namespace nuv;
using namespace nuv::toolcfg;

image::BlockRecord Record(uint8_t id, std::vector<uint8_t> data) {
  std::array<uint8_t, image::kBlockEntrySize> entry{};
  entry[0] = id;
  image::BlockRecord record;
  record.entry = image::BlockEntry(entry);
  record.data = image::BlockData(std::move(data));
  return record;
}

const image::BlockTable& Table() {
  static const image::BlockTable table = [] {
    image::BlockTable t;
    t.records.push_back(Record(0x21, {0x12, 0x34, 0x56, 0x78, 'a', 'b', 0, 0xFF}));
    t.records.push_back(Record(0x22, {}));
    t.records.push_back(Record(0xA4, std::vector<uint8_t>(64, 0xA5)));
    return t;
  }();
  return table;
}

class CountingMessages final : public Messages {
 public:
  void Show(BoxCaption, std::string_view text) override {
    if (text.empty())
      std::abort();
  }
};

void CheckSheet(const ToolConfigSheet& sheet, std::string_view name) {
  Check(sheet.name.empty() || sheet.name == name);
  for (const SheetColumn& column : sheet.columns)
    Check(column.title.size() <= kMaxColumnTitle);
  for (const ConfigBlock& block : sheet.blocks) {
    Check(block.name.size() <= kMaxBlockName);
    for (const ConfigItem& item : block.items) {
      Check(item.name.size() <= kMaxItemName);
      Check(item.description.size() <= kMaxDescription);
      Check(item.text_value.size() <= kMaxTextValue);
      // A value never holds more bits than its field.
      if (item.is_number() && item.bit_length >= 0 && item.bit_length < 64)
        Check(item.number_value >> item.bit_length == 0);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ToolConfig model;
  CountingMessages messages;
  const std::string_view script(reinterpret_cast<const char*>(data), size);
  const ParseResult result = ParseToolConfigText(model, script, Table(), messages);
  Check(result == ParseResult::kParsed || result == ParseResult::kScriptError);
  CheckSheet(model.sheet2, "sheet2");
  CheckSheet(model.sheet3, "sheet3");
  CheckSheet(model.sheet4, "sheet4");
  return 0;
}
