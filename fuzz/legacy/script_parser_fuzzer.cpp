// ParseLegacyScriptLines on any bytes: it never reads outside its input,
// either yields blocks without a message or no blocks with exactly one, and
// every block it yields keeps the limits the dialogs rely on.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "legacy/script_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace nuv::legacy;
  using nuv::fuzz::Check;
  const std::string text(reinterpret_cast<const char*>(data), size);
  nuv::common::LineReader lines;
  lines.OpenText(text);
  nuv::RecordedMessages messages;
  const auto blocks = ParseLegacyScriptLines(lines, 2097152, messages);
  if (!blocks) {
    Check(messages.shown().size() == 1);
    Check(messages.shown()[0].first == nuv::BoxCaption::Error);
    Check(!messages.shown()[0].second.empty());
    return 0;
  }
  Check(messages.shown().empty());
  Check(!blocks->empty());
  for (const ScriptBlock& block : *blocks) {
    Check(block.control_id == kNoControl);
    Check(block.name.size() <= kMaxNameLength);
    Check(block.fields.size() <= kMaxFieldsPerBlock);
    for (const ScriptField& field : block.fields) {
      Check(field.control_id == kNoControl);
      Check(field.name.size() <= kMaxNameLength);
      Check(field.description.size() <= kMaxDescriptionLength);
      if (field.type == kListField) {
        // Only a list whose start is above its end offers no values.
        const auto items = ListItems(field);
        Check(items.size() <= kMaxListItems);
        Check(items.empty() == (field.list_start > field.list_end));
        Check(items.empty() ||
              (items.front() == field.list_start && items.back() <= field.list_end));
      }
    }
  }
  // The same text gives the same blocks.
  lines.OpenText(text);
  nuv::RecordedMessages quiet;
  const auto second = ParseLegacyScriptLines(lines, 2097152, quiet);
  Check(second && second->size() == blocks->size());
  return 0;
}
