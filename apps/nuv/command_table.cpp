// The table of `nuv` commands and what it prints about them: `nuv help`
// and each command's --help.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "command.h"

namespace nuv::cli {
namespace {

std::vector<const Command*>& Table() {
  static std::vector<const Command*> table;
  return table;
}

void Print(std::FILE* out, std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), out);
}

const Option kHelp = {"-h, --help", "", "prints this help"};

}  // namespace

std::string ExitStatus(const Command& command) {
  if (command.found.empty())
    return "0 done, 1 refused or failed, 2 usage error";
  return "1 when " + std::string(command.found) + ", else 0; 2 refused, failed or usage error";
}

std::vector<const Option*> HelpOptions(const Command& command) {
  std::vector<const Option*> options;
  for (const Option& option : command.options)
    options.push_back(&option);
  options.push_back(&kHelp);
  return options;
}

std::string OptionLabel(const Option& option) {
  std::string label(option.name);
  if (!option.value.empty())
    label.append(" ").append(option.value);
  return label;
}

CommandRegistration::CommandRegistration(const Command& command) {
  Table().push_back(&command);
}

std::vector<const Command*> Commands() {
  std::vector<const Command*> sorted = Table();
  std::sort(sorted.begin(), sorted.end(),
            [](const Command* a, const Command* b) { return a->name < b->name; });
  return sorted;
}

void PrintCommandList(std::FILE* out) {
  Print(out, "usage: nuv COMMAND [ARGS]\n       nuv COMMAND --help\n\ncommands:\n");
  for (const Command* command : Commands()) {
    Print(out, "  nuv ");
    Print(out, command->name);
    Print(out, " ");
    Print(out, command->usage);
    Print(out, "\n      ");
    Print(out, command->summary);
    Print(out, "\n");
  }
}

void PrintCommandHelp(const Command& command, std::FILE* out) {
  Print(out, "usage: nuv ");
  Print(out, command.name);
  Print(out, " ");
  Print(out, command.usage);
  Print(out, "\n\n      ");
  Print(out, command.summary);
  Print(out, "\n\noptions:\n");
  const std::vector<const Option*> options = HelpOptions(command);
  size_t width = 0;
  for (const Option* option : options)
    width = std::max(width, OptionLabel(*option).size());
  for (const Option* option : options) {
    const std::string label = OptionLabel(*option);
    Print(out, "  ");
    Print(out, label);
    Print(out, std::string(width - label.size() + 2, ' '));
    // A help of several lines is indented as a whole.
    std::string help(option->help);
    for (size_t at = help.find('\n'); at != std::string::npos; at = help.find('\n', at + 1))
      help.insert(at + 1, width + 4, ' ');
    Print(out, help);
    Print(out, "\n");
  }
  Print(out, "\nexit status: ");
  Print(out, ExitStatus(command));
  Print(out, "\n");
}

}  // namespace nuv::cli
