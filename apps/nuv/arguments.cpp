// One parser for every command's command line, driven by its table entry,
// and the strict number parser the commands share.
#include <algorithm>
#include <string>

#include "command.h"

namespace nuv::cli {
namespace {

bool LooksLikeOption(std::string_view word) {
  return word.size() > 1 && word[0] == '-';
}

const Option* FindOption(const Command& command, std::string_view name) {
  const auto found = std::find_if(command.options.begin(), command.options.end(),
                                  [&](const Option& option) { return option.name == name; });
  return found == command.options.end() ? nullptr : &*found;
}

}  // namespace

bool Arguments::Has(std::string_view option) const {
  return std::any_of(options.begin(), options.end(),
                     [&](const auto& given) { return given.first == option; });
}

std::string Arguments::Value(std::string_view option) const {
  const auto last = std::find_if(options.rbegin(), options.rend(),
                                 [&](const auto& given) { return given.first == option; });
  return last == options.rend() ? std::string() : last->second;
}

std::vector<std::string> Arguments::Values(std::string_view option) const {
  std::vector<std::string> values;
  for (const auto& [name, value] : options)
    if (name == option)
      values.push_back(value);
  return values;
}

std::optional<std::string> ParseArguments(const Command& command,
                                          std::span<const std::string> words, Arguments& args) {
  for (size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (word == "--help" || word == "-h") {
      args.help = true;
      return std::nullopt;
    }
    if (!LooksLikeOption(word)) {
      if (args.operands.size() == command.operands.size())
        return "unexpected argument \"" + word + "\"";
      args.operands.push_back(word);
      continue;
    }
    const Option* option = FindOption(command, word);
    if (!option)
      return "unknown option " + word;
    if (option->value.empty()) {
      args.options.emplace_back(option->name, std::string());
      continue;
    }
    // An empty value names nothing: the option would quietly do nothing.
    if (i + 1 >= words.size() || words[i + 1].empty())
      return word + " needs " + std::string(option->value);
    args.options.emplace_back(option->name, words[++i]);
  }
  if (args.operands.size() < command.operands.size())
    return std::string(command.operands[args.operands.size()]) + " is missing";
  for (const Option& option : command.options)
    if (option.required && !args.Has(option.name))
      return std::string(option.name) + " " + std::string(option.value) + " is missing";
  return std::nullopt;
}

}  // namespace nuv::cli
