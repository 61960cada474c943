// nuv: the command-line face of the tool, the same flows as the windows for
// batch work. Subcommands come from one table (see command.h).
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "command.h"

namespace nuv::cli {
namespace {

std::vector<Command>& Table() {
  static std::vector<Command> table;
  return table;
}

void PrintHelp(std::FILE* out) {
  std::fprintf(out, "usage: nuv COMMAND [ARGS]\n\ncommands:\n");
  std::vector<Command> sorted = Table();
  std::sort(sorted.begin(), sorted.end(),
            [](const Command& a, const Command& b) { return a.name < b.name; });
  for (const Command& c : sorted) {
    std::fprintf(out, "  nuv %.*s %.*s\n      %.*s\n", static_cast<int>(c.name.size()),
                 c.name.data(), static_cast<int>(c.usage.size()), c.usage.data(),
                 static_cast<int>(c.summary.size()), c.summary.data());
  }
}

// Counts how many leading words of args spell the command's name.
size_t MatchWords(const Command& command, const std::vector<std::string>& args) {
  size_t used = 0;
  std::string_view rest = command.name;
  while (!rest.empty()) {
    size_t blank = rest.find(' ');
    std::string_view word = rest.substr(0, blank);
    if (used >= args.size() || args[used] != word)
      return 0;
    ++used;
    rest = blank == std::string_view::npos ? std::string_view() : rest.substr(blank + 1);
  }
  return used;
}

}  // namespace

CommandRegistration::CommandRegistration(const Command& command) {
  Table().push_back(command);
}

void StderrMessages::Show(BoxCaption, std::string_view text) {
  ++count_;
  std::string line(text);
  std::replace(line.begin(), line.end(), '\n', ' ');
  std::fprintf(stderr, "nuv: %s\n", line.c_str());
}

int UsageError(const Command& command, std::string_view text) {
  std::fprintf(stderr, "nuv: %.*s\nusage: nuv %.*s %.*s\n", static_cast<int>(text.size()),
               text.data(), static_cast<int>(command.name.size()), command.name.data(),
               static_cast<int>(command.usage.size()), command.usage.data());
  return 1;
}

bool ParseUnsigned(std::string_view text, unsigned long long max, unsigned long long& value) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  if (text.empty())
    return false;
  unsigned long long parsed = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed, base);
  if (error != std::errc() || end != text.data() + text.size() || parsed > max)
    return false;
  value = parsed;
  return true;
}

}  // namespace nuv::cli

int main(int argc, char** argv) {
  using namespace nuv::cli;
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty() || args[0] == "help" || args[0] == "--help" || args[0] == "-h") {
    PrintHelp(args.empty() ? stderr : stdout);
    return args.empty() ? 1 : 0;
  }
  const Command* best = nullptr;
  size_t best_words = 0;
  for (const Command& c : Table()) {
    size_t words = MatchWords(c, args);
    if (words > best_words) {
      best = &c;
      best_words = words;
    }
  }
  if (!best) {
    std::fprintf(stderr, "nuv: unknown command \"%s\" (try: nuv help)\n", args[0].c_str());
    return 1;
  }
  std::vector<std::string> rest(args.begin() + static_cast<long>(best_words), args.end());
  return best->run(rest);
}
