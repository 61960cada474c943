// nuv legacy IMAGE ...: the legacy flow without windows, for batch use.
// Pre-Parse, the script beside the image (or --script), field edits as the
// field edit dialog's OK makes them, files for the Customer Config rows,
// and Generate with its configuration file, key file and byte patch.
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "command.h"
#include "common/numbers.h"
#include "image/flash_image.h"
#include "image_loading.h"
#include "legacy/field_bits.h"
#include "legacy/field_edit.h"
#include "legacy/generate.h"
#include "legacy/script_parser.h"
#include "text_output.h"

namespace nuv::cli {
namespace {

Outcome Run(const Arguments& args, Messages& messages);

const Command kLegacy = {
    .name = "legacy",
    .usage =
        "IMAGE [--script FILE] [--list] [--field BLOCK.FIELD=VALUE]... [--row NAME=FILE]...\n"
        "      [--config FILE] [--key FILE] [--patch ADDR=BYTE] -o OUT",
    .summary =
        "generates a new legacy flash image as the Customer Config dialog does, from the\n"
        "      script beside IMAGE named after its software version",
    .modifies = "OUT",
    .operands = {"IMAGE"},
    .options = {{"--script", "FILE", "reads this script instead"},
                {"--list", "", "prints the blocks, fields and rows of the script and stops"},
                {"--field", "BLOCK.FIELD=VALUE",
                 "sets a field of a field block (a number, a value its list offers, or a text)\n"
                 "and writes the block as the field edit dialog's OK does"},
                {"--row", "NAME=FILE", "the file of a file or hw info row, by block name"},
                {"--config", "FILE", "imports the configuration file"},
                {"--key", "FILE", "imports the key file"},
                {"--patch", "ADDR=BYTE", "sets one byte (both numbers hexadecimal)"},
                {"-o", "OUT", "the new image; needed unless --list"}},
    .run = &Run};

CommandRegistration register_legacy(kLegacy);

using legacy::FieldAnswer;
using legacy::FieldInput;
using legacy::FieldSheet;
using legacy::LegacyBlockList;
using legacy::ScriptBlock;
using legacy::ScriptField;

using Assignment = std::pair<std::string, std::string>;  // "KEY=VALUE" split at its first "="

struct Options {
  std::vector<Assignment> fields;  // BLOCK.FIELD, VALUE
  std::vector<Assignment> rows;    // NAME, FILE
  legacy::GenerateRequest request;
};

std::optional<Assignment> SplitAssignment(std::string_view text) {
  const size_t equals = text.find('=');
  if (equals == std::string_view::npos || equals == 0)
    return std::nullopt;
  return Assignment{std::string(text.substr(0, equals)), std::string(text.substr(equals + 1))};
}

// Every value of OPTION as an assignment; a usage problem as its text.
std::optional<std::string> ReadAssignments(const Arguments& args, std::string_view option,
                                           std::vector<Assignment>& out) {
  for (const std::string& value : args.Values(option)) {
    const std::optional<Assignment> pair = SplitAssignment(value);
    if (!pair)
      return std::string(option) + " expects NAME=VALUE, not \"" + value + "\"";
    out.push_back(*pair);
  }
  return std::nullopt;
}

std::optional<std::string> ReadOptions(const Arguments& args, Options& options) {
  if (auto problem = ReadAssignments(args, "--field", options.fields))
    return problem;
  if (auto problem = ReadAssignments(args, "--row", options.rows))
    return problem;
  std::vector<Assignment> patches;
  if (auto problem = ReadAssignments(args, "--patch", patches))
    return problem;
  if (!patches.empty()) {
    const auto& [address, byte] = patches.back();
    if (!common::ParseStrictNumber<uint32_t>(address, 16) ||
        !common::ParseStrictNumber<uint8_t>(byte, 16))
      return "--patch expects two hexadecimal numbers, ADDR=BYTE (ADDR at most FFFFFFFF, BYTE at "
             "most FF)";
    options.request.flash_address = address;
    options.request.byte_value = byte;
  }
  options.request.config_path = args.Value("--config");
  options.request.key_path = args.Value("--key");
  options.request.output_path = args.Value("-o");
  if (!args.Has("--list") && options.request.output_path.empty())
    return "no output file given (-o OUT)";
  return std::nullopt;
}

const char* EmName(uint8_t em) {
  switch (em) {
    case legacy::kFieldBlock:
      return "field block";
    case legacy::kFileBlock:
      return "file block";
    case legacy::kHwInfoBlock:
      return "hw info block";
    case legacy::kDescribedFieldBlock:
      return "described field block";
    default:
      return "block without controls";
  }
}

void PrintList(const image::FlashImage& image, LegacyBlockList& list, Messages& messages) {
  const auto blocks = list.blocks();
  for (size_t b = 0; b < blocks.size(); ++b) {
    const ScriptBlock& block = blocks[b];
    std::printf("%s %s: block id 0x%02X, offset %u\n", EmName(block.em), Quoted(block.name).c_str(),
                block.block_id, block.offset);
    if (!block.is_field_block())
      continue;
    const FieldSheet sheet = LoadFields(image, list, list.Handle(b), messages);
    for (size_t f = 0; f < sheet.fields.size(); ++f) {
      const ScriptField& field = block.fields[f];
      const auto& view = sheet.fields[f];
      std::printf("  %s = ", Quoted(field.name).c_str());
      if (view.input == FieldInput::kList)
        std::printf("%u (list %u..%u step %u)", field.value, field.list_start, field.list_end,
                    field.list_step);
      else if (view.input == FieldInput::kEdit && field.type == legacy::kNumberField)
        std::printf("%u (%u bits)", field.value, field.bit_length);
      else if (view.input == FieldInput::kEdit)
        std::printf("%s (text, %zu bytes)", Quoted(view.text).c_str(),
                    static_cast<size_t>(legacy::TextFieldBytes(0, field).count));
      else
        std::printf("(type %u, not editable)", field.type);
      std::printf("%s\n", view.writable ? "" : " [cannot be written]");
    }
  }
}

// The block and field that "BLOCK.FIELD" names among the field blocks;
// names may hold dots themselves, so every dot is tried.
struct FieldRef {
  size_t block = 0;
  size_t field = 0;
};
// Nothing, after a message, when no field or more than one is named so.
std::optional<FieldRef> FindField(const LegacyBlockList& list, const std::string& path,
                                  Messages& messages) {
  std::vector<FieldRef> found;
  const auto blocks = list.blocks();
  for (size_t dot = path.find('.'); dot != std::string::npos; dot = path.find('.', dot + 1)) {
    const std::string_view block_name = std::string_view(path).substr(0, dot);
    const std::string_view field_name = std::string_view(path).substr(dot + 1);
    for (size_t b = 0; b < blocks.size(); ++b) {
      if (!blocks[b].is_field_block() || blocks[b].name != block_name)
        continue;
      for (size_t f = 0; f < blocks[b].fields.size(); ++f)
        if (blocks[b].fields[f].name == field_name)
          found.push_back({b, f});
    }
  }
  if (found.size() == 1)
    return found[0];
  messages.Show(BoxCaption::Error,
                found.empty() ? "no field block holds a field " + Quoted(path) + " (see --list)"
                              : Quoted(path) + " names more than one field");
  return std::nullopt;
}

// Turns the command line's value into what the user would leave in the
// field's input; strict where the dialog would quietly read 0 or cut.
// Why the value cannot be given; nothing when `answer` holds it.
std::optional<std::string> SetAnswer(const ScriptField& field, const legacy::FieldView& view,
                                     const std::string& value, FieldAnswer& answer) {
  if (!view.writable) {
    return "the field " + Quoted(field.name) + " cannot be written";
  }
  if (view.input == FieldInput::kEdit && field.type != legacy::kNumberField) {
    const uint64_t room = legacy::TextFieldBytes(0, field).count;
    if (room == 0 || value.size() > room - 1) {
      return "the text field " + Quoted(field.name) + " holds at most " +
             std::to_string(room == 0 ? 0 : room - 1) + " characters";
    }
    answer.text = value;
    return std::nullopt;
  }
  // A number too large for the field is refused where the dialog's OK
  // refuses it, with the field's width.
  const std::optional<uint64_t> parsed = common::ParseStrictNumber<uint64_t>(value);
  if (!parsed) {
    return "the field " + Quoted(field.name) + " takes an unsigned number, not " + Quoted(value);
  }
  const uint64_t number = *parsed;
  if (view.input == FieldInput::kEdit) {
    answer.text = std::to_string(number);
    return std::nullopt;
  }
  for (size_t i = 0; i < view.items.size(); ++i) {
    if (view.items[i] == number) {
      answer.selected = i;
      return std::nullopt;
    }
  }
  return "the list field " + Quoted(field.name) + " does not offer " + value;
}

// Refuses what the script does not offer with a message.
enum class ApplyResult { kApplied, kRefused };
ApplyResult Refuse(Messages& messages, const std::string& text) {
  messages.Show(BoxCaption::Error, text);
  return ApplyResult::kRefused;
}

ApplyResult ApplyFields(image::FlashImage& image, LegacyBlockList& list, const Options& options,
                        Messages& messages) {
  std::map<size_t, std::vector<std::pair<size_t, std::string>>> by_block;
  for (const auto& [path, value] : options.fields) {
    const std::optional<FieldRef> ref = FindField(list, path, messages);
    if (!ref)
      return ApplyResult::kRefused;
    by_block[ref->block].emplace_back(ref->field, value);
  }
  for (const auto& [block_index, edits] : by_block) {
    const legacy::BlockHandle handle = list.Handle(block_index);
    const FieldSheet sheet = LoadFields(image, list, handle, messages);
    std::vector<FieldAnswer> answers(sheet.fields.size());
    for (size_t i = 0; i < sheet.fields.size(); ++i) {
      answers[i].text = sheet.fields[i].text;
      answers[i].selected = sheet.fields[i].selected;
    }
    const ScriptBlock& block = *list.Find(handle);
    for (const auto& [field_index, value] : edits) {
      if (field_index >= sheet.fields.size())
        return Refuse(messages,
                      "the field " + Quoted(block.fields[field_index].name) + " cannot be written");
      if (const std::optional<std::string> refusal = SetAnswer(
              block.fields[field_index], sheet.fields[field_index], value, answers[field_index]))
        return Refuse(messages, *refusal);
    }
    if (StoreFields(image, list, sheet, answers, messages) != legacy::StoreResult::kStored)
      return ApplyResult::kRefused;
  }
  return ApplyResult::kApplied;
}

ApplyResult ChooseRows(const LegacyBlockList& list, const Options& options,
                       legacy::GenerateRequest& request, Messages& messages) {
  const std::vector<size_t> rows = legacy::RowBlocks(list);
  for (size_t index : rows)
    request.rows.push_back({list.Handle(index), ""});
  for (const auto& [name, file] : options.rows) {
    std::vector<size_t> matches;
    for (size_t r = 0; r < rows.size(); ++r)
      if (list.blocks()[rows[r]].name == name)
        matches.push_back(r);
    if (matches.size() != 1)
      return Refuse(messages, (matches.empty() ? "no file or hw info block is named "
                                               : "more than one row is named ") +
                                  Quoted(name) + " (see --list)");
    request.rows[matches[0]].path = file;
  }
  return ApplyResult::kApplied;
}

Outcome Run(const Arguments& args, Messages& messages) {
  Options options;
  if (std::optional<std::string> problem = ReadOptions(args, options))
    return Outcome::Usage(std::move(*problem));
  image::FlashImage image;
  if (LoadImageOfKind(image, args.operands[0], image::ImageKind::Legacy,
                      "The image is not a legacy image: it has no legacy customer config.",
                      messages) != LoadResult::kLoaded)
    return Outcome::Failed();
  if (args.Has("--script"))
    image.script_path = args.Value("--script");
  LegacyBlockList list;
  if (!legacy::ParseLegacyScript(image, list, messages).open_customer_config())
    return Outcome::Failed();
  if (args.Has("--list")) {
    PrintList(image, list, messages);
    return Outcome::Done();
  }
  return Outcome::Of(ApplyFields(image, list, options, messages) == ApplyResult::kApplied &&
                     ChooseRows(list, options, options.request, messages) ==
                         ApplyResult::kApplied &&
                     legacy::Generate(image, list, options.request, messages).result ==
                         legacy::GenerateResult::kWritten);
}

}  // namespace
}  // namespace nuv::cli
