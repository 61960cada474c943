// nuv: the command-line face of the tool, the same flows as the windows for
// batch work. Subcommands come from one table (see command.h); this file is
// the one place that turns what a command did into its exit status.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "command.h"
#include "platform/errors.h"

namespace nuv::cli {
namespace {

constexpr int kExitDone = 0;
constexpr int kExitFailed = 1;
constexpr int kExitFound = 1;
constexpr int kExitUsage = 2;

int FailedStatus(const Command& command) {
  return command.found.empty() ? kExitFailed : kExitUsage;
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

void PrintUsageProblem(const Command& command, std::string_view problem) {
  std::fprintf(stderr, "nuv: %.*s\nusage: nuv %.*s %.*s\n", static_cast<int>(problem.size()),
               problem.data(), static_cast<int>(command.name.size()), command.name.data(),
               static_cast<int>(command.usage.size()), command.usage.data());
}

// What a command printed has reached its reader only when stdout is flushed.
int Finished(const Command& command, int status, Messages& messages) {
  if (std::fflush(stdout) == 0)
    return status;
  messages.Show(BoxCaption::Error, "standard output could not be written");
  return FailedStatus(command);
}

int Run(const Command& command, std::span<const std::string> words) {
  Arguments args;
  if (const std::optional<std::string> problem = ParseArguments(command, words, args)) {
    PrintUsageProblem(command, *problem);
    return kExitUsage;
  }
  StderrMessages messages;
  if (args.help) {
    PrintCommandHelp(command, stdout);
    return Finished(command, kExitDone, messages);
  }
  Outcome outcome;
  try {
    outcome = command.run(args, messages);
  } catch (const CommandError& error) {
    messages.Show(BoxCaption::Application, error.what());
    return FailedStatus(command);
  }
  switch (outcome.kind) {
    case Outcome::Kind::kDone:
      return Finished(command, kExitDone, messages);
    case Outcome::Kind::kFound:
      return Finished(command, kExitFound, messages);
    case Outcome::Kind::kFailed:
      return FailedStatus(command);
    case Outcome::Kind::kUsage:
      PrintUsageProblem(command, outcome.problem);
      return kExitUsage;
  }
  return FailedStatus(command);
}

}  // namespace

void StderrMessages::Show(BoxCaption, std::string_view text) {
  std::string line(text);
  std::replace(line.begin(), line.end(), '\n', ' ');
  std::fprintf(stderr, "nuv: %s\n", line.c_str());
}

}  // namespace nuv::cli

int main(int argc, char** argv) {
  using namespace nuv::cli;
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    PrintCommandList(stderr);
    return kExitUsage;
  }
  if (args[0] == "help" || args[0] == "--help" || args[0] == "-h") {
    PrintCommandList(stdout);
    return std::fflush(stdout) == 0 ? kExitDone : kExitFailed;
  }
  // For the build, which makes the manual page with it; `nuv help` does not
  // list it, since a user reads the page with man(1).
  if (args.size() == 1 && args[0] == "--man") {
    PrintManualPage(stdout);
    return std::fflush(stdout) == 0 ? kExitDone : kExitFailed;
  }
  const Command* best = nullptr;
  size_t best_words = 0;
  for (const Command* command : Commands()) {
    const size_t words = MatchWords(*command, args);
    if (words > best_words) {
      best = command;
      best_words = words;
    }
  }
  if (!best) {
    std::fprintf(stderr, "nuv: unknown command \"%s\" (try: nuv help)\n", args[0].c_str());
    return kExitUsage;
  }
  return Run(*best, std::span(args).subspan(best_words));
}
