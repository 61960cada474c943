// Any bytes as a Windows command line. The split must never grow the text,
// never leave a quote in the program name, and every argument must read
// back unchanged from a command line rebuilt with QuoteWindowsArgument.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "platform/command_line.h"

using nuv::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace nuv::platform;
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> args = SplitWindowsCommandLine(line);
  size_t total = 0;
  for (const std::string& arg : args)
    total += arg.size();
  Check(total <= line.size());
  if (args.empty()) {
    Check(line.find_first_not_of(" \t") == std::string_view::npos);
    return 0;
  }
  const std::string& program = args[0];
  Check(program.find('"') == std::string::npos);
  std::string rebuilt = program.empty() || program.find_first_of(" \t") != std::string::npos
                            ? "\"" + program + "\""
                            : program;
  for (size_t i = 1; i < args.size(); ++i)
    rebuilt += " " + QuoteWindowsArgument(args[i]);
  Check(SplitWindowsCommandLine(rebuilt) == args);
  return 0;
}
