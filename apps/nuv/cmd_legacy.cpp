// nuv legacy IMAGE ...: the legacy flow without windows, for batch use.
// Pre-Parse, the script beside the image (or --script), field edits as the
// field edit dialog's OK makes them, files for the Customer Config rows,
// and Generate with its configuration file, key file and byte patch.
#include <cstdio>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "command.h"
#include "image/flash_image.h"
#include "image_loading.h"
#include "legacy/field_bits.h"
#include "legacy/field_edit.h"
#include "legacy/generate.h"
#include "legacy/script_parser.h"
#include "text_output.h"

namespace nuv::cli {
namespace {

int Run(std::span<const std::string> args);

const Command kLegacy = {
    "legacy",
    "IMAGE [--script FILE] [--list] [--field BLOCK.FIELD=VALUE]... [--row NAME=FILE]...\n"
    "      [--config FILE] [--key FILE] [--patch ADDR=BYTE] -o OUT",
    "generates a new legacy flash image as the Customer Config dialog does: the script is\n"
    "      the one beside IMAGE named after its software version (or --script FILE);\n"
    "      --field sets a field of a field block (a number, a value its list offers, or a\n"
    "      text) and writes the block as the field edit dialog's OK does; --row gives the\n"
    "      file of a file or hw info row by block name; --config and --key import the\n"
    "      configuration and key files; --patch ADDR=BYTE (hexadecimal) sets one byte;\n"
    "      --list prints the blocks, fields and rows of the script and stops",
    "OUT", &Run};

CommandRegistration register_legacy(kLegacy);

using legacy::FieldAnswer;
using legacy::FieldInput;
using legacy::FieldSheet;
using legacy::LegacyBlockList;
using legacy::ScriptBlock;
using legacy::ScriptField;

struct Options {
  std::string image;
  std::optional<std::string> script;
  bool list = false;
  std::vector<std::pair<std::string, std::string>> fields;  // BLOCK.FIELD, VALUE
  std::vector<std::pair<std::string, std::string>> rows;    // NAME, FILE
  legacy::GenerateRequest request;
};

// "KEY=VALUE" split at its first "=".
std::optional<std::pair<std::string, std::string>> SplitAssignment(std::string_view text) {
  const size_t equals = text.find('=');
  if (equals == std::string_view::npos || equals == 0)
    return std::nullopt;
  return std::pair{std::string(text.substr(0, equals)), std::string(text.substr(equals + 1))};
}

bool IsHexNumber(std::string_view text) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
    text.remove_prefix(2);
  return !text.empty() &&
         text.find_first_not_of("0123456789abcdefABCDEF") == std::string_view::npos;
}

std::optional<int> ReadOptions(std::span<const std::string> args, Options& options) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool has_value = i + 1 < args.size();
    const auto value = [&]() -> const std::string& { return args[++i]; };
    if (arg == "--list") {
      options.list = true;
    } else if (arg == "--script" || arg == "--config" || arg == "--key" || arg == "-o") {
      if (!has_value)
        return UsageError(kLegacy, arg + " needs a file");
      std::string& target = arg == "--script"   ? options.script.emplace()
                            : arg == "--config" ? options.request.config_path
                            : arg == "--key"    ? options.request.key_path
                                                : options.request.output_path;
      target = value();
    } else if (arg == "--field" || arg == "--row" || arg == "--patch") {
      if (!has_value)
        return UsageError(kLegacy, arg + " needs a value");
      const auto pair = SplitAssignment(value());
      if (!pair)
        return UsageError(kLegacy, arg + " expects NAME=VALUE, not \"" + args[i] + "\"");
      if (arg == "--field") {
        options.fields.push_back(*pair);
      } else if (arg == "--row") {
        options.rows.push_back(*pair);
      } else {
        if (!IsHexNumber(pair->first) || !IsHexNumber(pair->second))
          return UsageError(kLegacy, "--patch expects two hexadecimal numbers, ADDR=BYTE");
        options.request.flash_address = pair->first;
        options.request.byte_value = pair->second;
      }
    } else if (!arg.empty() && arg[0] == '-') {
      return UsageError(kLegacy, "unknown option " + arg);
    } else if (options.image.empty()) {
      options.image = arg;
    } else {
      return UsageError(kLegacy, "more than one image: " + arg);
    }
  }
  if (options.image.empty())
    return UsageError(kLegacy, "no image given");
  if (!options.list && options.request.output_path.empty())
    return UsageError(kLegacy, "no output file given (-o OUT)");
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
std::optional<FieldRef> FindField(const LegacyBlockList& list, const std::string& path,
                                  std::string& error) {
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
  error = found.empty() ? "no field block holds a field " + Quoted(path) + " (see --list)"
                        : Quoted(path) + " names more than one field";
  return std::nullopt;
}

// Turns the command line's value into what the user would leave in the
// field's input; strict where the dialog would quietly read 0 or cut.
bool SetAnswer(const ScriptField& field, const legacy::FieldView& view, const std::string& value,
               FieldAnswer& answer, std::string& error) {
  if (!view.writable) {
    error = "the field " + Quoted(field.name) + " cannot be written";
    return false;
  }
  if (view.input == FieldInput::kEdit && field.type != legacy::kNumberField) {
    const uint64_t room = legacy::TextFieldBytes(0, field).count;
    if (room == 0 || value.size() > room - 1) {
      error = "the text field " + Quoted(field.name) + " holds at most " +
              std::to_string(room == 0 ? 0 : room - 1) + " characters";
      return false;
    }
    answer.text = value;
    return true;
  }
  // A number too large for the field is refused where the dialog's OK
  // refuses it, with the field's width.
  unsigned long long number = 0;
  if (!ParseUnsigned(value, std::numeric_limits<unsigned long long>::max(), number)) {
    error = "the field " + Quoted(field.name) + " takes an unsigned number, not " + Quoted(value);
    return false;
  }
  if (view.input == FieldInput::kEdit) {
    answer.text = std::to_string(number);
    return true;
  }
  for (size_t i = 0; i < view.items.size(); ++i) {
    if (view.items[i] == number) {
      answer.selected = i;
      return true;
    }
  }
  error = "the list field " + Quoted(field.name) + " does not offer " + value;
  return false;
}

int ApplyFields(image::FlashImage& image, LegacyBlockList& list, const Options& options,
                Messages& messages) {
  std::map<size_t, std::vector<std::pair<size_t, std::string>>> by_block;
  for (const auto& [path, value] : options.fields) {
    std::string error;
    const auto ref = FindField(list, path, error);
    if (!ref)
      return UsageError(kLegacy, error);
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
      std::string error =
          "the field " + Quoted(block.fields[field_index].name) + " cannot be written";
      if (field_index >= sheet.fields.size() ||
          !SetAnswer(block.fields[field_index], sheet.fields[field_index], value,
                     answers[field_index], error))
        return UsageError(kLegacy, error);
    }
    if (!StoreFields(image, list, sheet, answers, messages))
      return 1;
  }
  return 0;
}

int ChooseRows(const LegacyBlockList& list, const Options& options,
               legacy::GenerateRequest& request) {
  const std::vector<size_t> rows = legacy::RowBlocks(list);
  for (size_t index : rows)
    request.rows.push_back({list.Handle(index), ""});
  for (const auto& [name, file] : options.rows) {
    std::vector<size_t> matches;
    for (size_t r = 0; r < rows.size(); ++r)
      if (list.blocks()[rows[r]].name == name)
        matches.push_back(r);
    if (matches.size() != 1)
      return UsageError(kLegacy, (matches.empty() ? "no file or hw info block is named "
                                                  : "more than one row is named ") +
                                     Quoted(name) + " (see --list)");
    request.rows[matches[0]].path = file;
  }
  return 0;
}

int Run(std::span<const std::string> args) {
  Options options;
  if (const auto refused = ReadOptions(args, options))
    return *refused;

  StderrMessages messages;
  image::FlashImage image;
  if (!LoadImageOfKind(image, options.image, image::ImageKind::Legacy,
                       "The image is not a legacy image: it has no legacy customer config.",
                       messages))
    return 1;
  if (options.script)
    image.script_path = *options.script;

  LegacyBlockList list;
  if (!legacy::ParseLegacyScript(image, list, messages).open_customer_config())
    return 1;
  if (options.list) {
    PrintList(image, list, messages);
    return std::fflush(stdout) == 0 ? 0 : 1;
  }
  if (const int status = ApplyFields(image, list, options, messages))
    return status;
  legacy::GenerateRequest& request = options.request;
  if (const int status = ChooseRows(list, options, request))
    return status;
  return legacy::Generate(image, list, request, messages).written ? 0 : 1;
}

}  // namespace
}  // namespace nuv::cli
