#pragma once

#include <span>
#include <string>
#include <string_view>

#include "support/messages.h"

namespace nuv::cli {

// One subcommand of `nuv`. Each lives in its own cmd_*.cpp file and adds
// itself to the table with a static CommandRegistration.
struct Command {
  std::string_view name;      // first word(s) after `nuv`, e.g. "info" or "xls dump"
  std::string_view usage;     // arguments, e.g. "IMAGE [--json]"
  std::string_view summary;   // one line for `nuv help`
  std::string_view modifies;  // what it writes: "nothing", "OUT", ...
  int (*run)(std::span<const std::string> args);  // exit status: 0 or 1
};

struct CommandRegistration {
  explicit CommandRegistration(const Command& command);
};

// Prints messages to standard error with the "nuv: " prefix, the way every
// command reports what a window would show in a box.
class StderrMessages final : public Messages {
 public:
  void Show(BoxCaption caption, std::string_view text) override;
  int count() const { return count_; }

 private:
  int count_ = 0;
};

// Prints "nuv: TEXT" and the command's usage to standard error; returns 1.
int UsageError(const Command& command, std::string_view text);

// Strict number parsing for command arguments: decimal, or hexadecimal with
// 0x; the whole text must be the number and fit the type.
bool ParseUnsigned(std::string_view text, unsigned long long max, unsigned long long& value);

}  // namespace nuv::cli
