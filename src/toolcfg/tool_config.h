#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace nuv::toolcfg {

// Longest texts the model keeps; longer ones are cut.
inline constexpr size_t kMaxColumnTitle = 29;
inline constexpr size_t kMaxBlockName = 8;
inline constexpr size_t kMaxItemName = 19;
inline constexpr size_t kMaxDescription = 1023;
inline constexpr size_t kMaxTextValue = 19;

// The kind of an item, as the script numbers it. Any other number a script
// gives is kept as it is, and such an item is read as a text.
enum class ItemType : int32_t { Number = 0, Text = 1, Range = 2 };

// One column title of a sheet.
struct SheetColumn {
  std::string title;  // at most kMaxColumnTitle characters
};

// One configuration field living in a block's bytes.
struct ConfigItem {
  std::string name;  // at most kMaxItemName characters
  ItemType type = ItemType::Number;
  int32_t bit_length = 0;  // field width in bits (numbers, 0 to 64)
  // First bit of the field, from byte `start_offset` of the block data; for
  // a text, bit_offset / 8 is its byte position.
  int32_t bit_offset = 0;
  int32_t min = 0;            // ItemType::Range only
  int32_t max = 0;            // ItemType::Range only
  std::string description;    // only when the block's em is 1; at most kMaxDescription
  std::string text_value;     // present value of a text item; at most kMaxTextValue
  uint64_t number_value = 0;  // present value of a number item

  bool is_number() const { return type == ItemType::Number || type == ItemType::Range; }
  bool has_known_type() const { return is_number() || type == ItemType::Text; }
};

// One block of configuration items, bound to an image block by its id.
struct ConfigBlock {
  std::string name;  // at most kMaxBlockName characters
  uint8_t em = 0;    // 1: every item line carries a description
  uint8_t block_id = 0;
  int32_t start_offset = 0;  // byte of the block data where bit offset 0 lies
  std::vector<ConfigItem> items;
};

// One sheet of the workbook: its column titles and its blocks, in script order.
struct ToolConfigSheet {
  std::string name;  // "sheet2", "sheet3", "sheet4", or empty until a SHEETID line selects it
  std::vector<SheetColumn> columns;
  std::vector<ConfigBlock> blocks;
};

// The tool-config model of one New Format dialog: three sheet records.
// SHEETID 2 fills sheet2, 3 fills sheet3, any other value sheet4.
struct ToolConfig {
  ToolConfigSheet sheet2;
  ToolConfigSheet sheet3;
  ToolConfigSheet sheet4;
};

// Empties the three sheets: names, columns, blocks and their items.
void ClearToolConfig(ToolConfig& model);

}  // namespace nuv::toolcfg
