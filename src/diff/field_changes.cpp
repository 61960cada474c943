#include "diff/field_changes.h"

#include <algorithm>
#include <map>
#include <string>

#include "exchange/open_new_format.h"
#include "legacy/field_edit.h"
#include "legacy/script_parser.h"
#include "platform/errors.h"
#include "support/batch_runner.h"

namespace nuv::diff {
namespace {

// The values the field edit dialog shows for one block of one image; no
// value for the fields its set-up did not read.
std::vector<Value> ShownFieldValues(const image::FlashImage& flash, legacy::LegacyBlockList& list,
                                    size_t index, Messages& messages) {
  RecordedMessages recorded;
  const legacy::FieldSheet sheet = legacy::LoadFields(flash, list, list.Handle(index), recorded);
  for (const std::string& text : recorded.texts())
    messages.Show(BoxCaption::Error, text);
  const legacy::ScriptBlock& block = list.blocks()[index];
  std::vector<Value> values(block.fields.size());
  // The set-up shows a message only where it stops, and the field it stops
  // at has a label but no value.
  size_t read = sheet.fields.size();
  if (!recorded.shown().empty() && read > 0)
    --read;
  for (size_t f = 0; f < read && f < values.size(); ++f) {
    const legacy::ScriptField& field = block.fields[f];
    if (field.type == legacy::kNumberField || field.type == legacy::kListField)
      values[f] = uint64_t{field.value};
    else
      values[f] = sheet.fields[f].text;
  }
  return values;
}

Value ItemValue(const toolcfg::ConfigItem& item) {
  if (item.is_number())
    return item.number_value;
  return item.text_value;
}

struct PlacedItem {
  const toolcfg::ConfigBlock* block;
  const toolcfg::ConfigItem* item;
};

// Every item of the model under a key that names it: sheet, block name and
// id, item name, and its place among items of that name.
std::map<std::string, PlacedItem> KeyedItems(const toolcfg::ToolConfig& model,
                                             std::vector<std::string>& order) {
  std::map<std::string, PlacedItem> items;
  for (const toolcfg::ToolConfigSheet* sheet : {&model.sheet2, &model.sheet3, &model.sheet4})
    for (const toolcfg::ConfigBlock& block : sheet->blocks)
      for (const toolcfg::ConfigItem& item : block.items) {
        const std::string base = sheet->name + '\n' + block.name + '\n' +
                                 std::to_string(block.block_id) + '\n' + item.name + '\n';
        std::string key = base + '0';
        for (int k = 1; items.contains(key); ++k)
          key = base + std::to_string(k);
        items.emplace(key, PlacedItem{&block, &item});
        order.push_back(key);
      }
  return items;
}

exchange::PrepareResult Prepare(toolcfg::ToolConfig& model, const image::FlashImage& flash,
                                CommandRunner& runner, Messages& messages) {
  try {
    return exchange::PrepareToolConfig(model, flash, {}, runner, messages);
  } catch (const CommandError& error) {
    messages.Show(BoxCaption::Application, error.what());
    return exchange::PrepareResult::kNotExtracted;
  }
}

}  // namespace

std::optional<std::vector<FieldChange>> CompareLegacyFields(const image::FlashImage& old_image,
                                                            const image::FlashImage& new_image,
                                                            Messages& messages) {
  legacy::LegacyBlockList old_list;
  if (!legacy::ParseLegacyScript(old_image, old_list, messages).open_customer_config())
    return std::nullopt;
  legacy::LegacyBlockList new_list;
  new_list.Assign({old_list.blocks().begin(), old_list.blocks().end()});
  std::vector<FieldChange> changes;
  for (size_t b = 0; b < old_list.count(); ++b) {
    if (!old_list.blocks()[b].is_field_block())
      continue;
    const std::vector<Value> olds = ShownFieldValues(old_image, old_list, b, messages);
    const std::vector<Value> news = ShownFieldValues(new_image, new_list, b, messages);
    const legacy::ScriptBlock& block = old_list.blocks()[b];
    for (size_t f = 0; f < block.fields.size(); ++f) {
      if (olds[f] == news[f])
        continue;
      const legacy::ScriptField& field = block.fields[f];
      changes.push_back(
          {block.name, field.name, field.bit_offset, field.bit_length, olds[f], news[f]});
    }
  }
  return changes;
}

std::optional<std::vector<FieldChange>> CompareToolConfigItems(const image::FlashImage& old_image,
                                                               const image::FlashImage& new_image,
                                                               Messages& messages) {
  toolcfg::ToolConfig old_model;
  toolcfg::ToolConfig new_model;
  // A batch runner: no window waits on it, so it skips the windows' runner's
  // polling and pauses.
  BatchCommandRunner runner;
  if (Prepare(old_model, old_image, runner, messages) != exchange::PrepareResult::kParsed ||
      Prepare(new_model, new_image, runner, messages) != exchange::PrepareResult::kParsed)
    return std::nullopt;
  std::vector<FieldChange> changes;
  std::vector<std::string> old_order, new_order;
  const auto olds = KeyedItems(old_model, old_order);
  const auto news = KeyedItems(new_model, new_order);
  const auto add = [&](const PlacedItem& at, Value old_value, Value new_value) {
    changes.push_back({at.block->name, at.item->name, at.item->bit_offset, at.item->bit_length,
                       std::move(old_value), std::move(new_value)});
  };
  for (const std::string& key : old_order) {
    const PlacedItem& a = olds.at(key);
    const auto b = news.find(key);
    if (b == news.end())
      add(a, ItemValue(*a.item), {});
    else if (ItemValue(*a.item) != ItemValue(*b->second.item))
      add(a, ItemValue(*a.item), ItemValue(*b->second.item));
  }
  for (const std::string& key : new_order)
    if (!olds.contains(key))
      add(news.at(key), {}, ItemValue(*news.at(key).item));
  return changes;
}

}  // namespace nuv::diff
