#pragma once

#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/messages.h"

namespace nuv::cli {

// One option of a command, as the parser reads it and --help shows it.
struct Option {
  std::string_view name;   // "--json", "-o"
  std::string_view value;  // the word that follows it in the usage, e.g. "FILE"; empty for a flag
  std::string_view help;   // for --help; a line break goes on in the same column
  bool required = false;   // a command line without it is a usage error
};

// A command line checked against its command's table entry: the operands
// in order and the options as given (a flag's value is empty).
struct Arguments {
  std::vector<std::string> operands;
  std::vector<std::pair<std::string_view, std::string>> options;
  bool help = false;  // --help or -h was given; what follows it is not read

  bool Has(std::string_view option) const;
  // The value the option was given last; empty when it was not given.
  std::string Value(std::string_view option) const;
  // Every value of an option that may be given more than once, in order.
  std::vector<std::string> Values(std::string_view option) const;
};

// What a handler reports. main() turns it into the exit status, the one
// place where that is done: 0 done, 1 refused or failed (the messages are
// already on standard error), 2 a command line that is not the command's.
// A command whose status answers a question (Command::found) exits 1 when
// it found what it looks for, and 2 when it failed.
struct Outcome {
  enum class Kind { kDone, kFound, kFailed, kUsage };
  Kind kind = Kind::kDone;
  std::string problem;  // kUsage: what is wrong with the command line

  static Outcome Done() { return {}; }
  static Outcome Failed() { return {Kind::kFailed, {}}; }
  static Outcome Of(bool ok) { return ok ? Done() : Failed(); }
  static Outcome Found() { return {Kind::kFound, {}}; }
  static Outcome Usage(std::string problem) { return {Kind::kUsage, std::move(problem)}; }
};

// One subcommand of `nuv`. Each lives in its own cmd_*.cpp file and adds
// itself to the table with a static CommandRegistration.
struct Command {
  std::string_view name;      // first word(s) after `nuv`, e.g. "info" or "xls dump"
  std::string_view usage;     // arguments, e.g. "IMAGE [--json]"
  std::string_view summary;   // what it does, for `nuv help` and --help
  std::string_view modifies;  // what it writes: "nothing", "OUT", ...
  std::vector<std::string_view> operands = {};  // every one is needed, in this order
  std::vector<Option> options = {};
  // When the exit status answers a question, as cmp's does: what exit 1
  // then means ("the images differ"); a failure exits 2. Empty: 1 is a
  // refused input or failed work.
  std::string_view found = {};
  // Runs with a command line the parser accepted; messages go to standard
  // error. An automation or file error it raises fails the command.
  Outcome (*run)(const Arguments& args, Messages& messages) = nullptr;
};

struct CommandRegistration {
  explicit CommandRegistration(const Command& command);
};

// Every registered command, sorted by name.
std::vector<const Command*> Commands();

// Reads WORDS (what follows the command's name) against the command's
// operands and options. A usage problem is returned as its text.
std::optional<std::string> ParseArguments(const Command& command,
                                          std::span<const std::string> words, Arguments& args);

void PrintCommandList(std::FILE* out);
void PrintCommandHelp(const Command& command, std::FILE* out);
// The manual page nuv(1) in roff, made from the same table as the help, so
// that the two cannot tell different stories.
void PrintManualPage(std::FILE* out);

// What --help and the manual page show of a command: its options with
// -h, --help last, an option with the word of its value ("-o OUT"), and
// what its exit status means.
std::vector<const Option*> HelpOptions(const Command& command);
std::string OptionLabel(const Option& option);
std::string ExitStatus(const Command& command);

// Prints messages to standard error with the "nuv: " prefix, the way every
// command reports what a window would show in a box; warnings too.
class StderrMessages final : public Messages {
 public:
  void Show(BoxCaption caption, std::string_view text) override;
};

}  // namespace nuv::cli
