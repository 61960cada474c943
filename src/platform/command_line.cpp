#include "platform/command_line.h"

#include "platform/native_arguments.h"

namespace nuv::platform {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// The program name: quotes only group, they never escape anything.
size_t ReadProgram(std::string_view line, size_t pos, std::string& out) {
  bool quoted = false;
  for (; pos < line.size(); ++pos) {
    const char c = line[pos];
    if (c == '"') {
      quoted = !quoted;
      continue;
    }
    if (!quoted && IsBlank(c))
      break;
    out += c;
  }
  return pos;
}

size_t ReadArgument(std::string_view line, size_t pos, std::string& out) {
  bool quoted = false;
  while (pos < line.size()) {
    size_t backslashes = 0;
    while (pos < line.size() && line[pos] == '\\') {
      ++backslashes;
      ++pos;
    }
    if (pos < line.size() && line[pos] == '"') {
      out.append(backslashes / 2, '\\');
      if (backslashes % 2 == 1) {
        out += '"';
        ++pos;
        continue;
      }
      if (quoted && pos + 1 < line.size() && line[pos + 1] == '"') {
        // Two quotes inside a quoted part: one literal quote, and the part ends.
        out += '"';
        pos += 2;
        quoted = false;
        continue;
      }
      quoted = !quoted;
      ++pos;
      continue;
    }
    out.append(backslashes, '\\');
    if (pos >= line.size())
      break;
    if (!quoted && IsBlank(line[pos]))
      break;
    out += line[pos];
    ++pos;
  }
  return pos;
}

size_t SkipBlanks(std::string_view line, size_t pos) {
  while (pos < line.size() && IsBlank(line[pos]))
    ++pos;
  return pos;
}

}  // namespace

std::vector<std::string> SplitWindowsCommandLine(std::string_view line) {
  std::vector<std::string> args;
  size_t pos = SkipBlanks(line, 0);
  if (pos >= line.size())
    return args;
  args.emplace_back();
  pos = ReadProgram(line, pos, args.back());
  for (;;) {
    pos = SkipBlanks(line, pos);
    if (pos >= line.size())
      break;
    args.emplace_back();
    pos = ReadArgument(line, pos, args.back());
  }
  return args;
}

std::string QuoteWindowsArgument(std::string_view arg) {
  if (!arg.empty() && arg.find_first_of(" \t\"") == std::string_view::npos)
    return std::string(arg);
  std::string out = "\"";
  size_t backslashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    // Backslashes before a quote are doubled, and the quote escaped.
    out.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    backslashes = 0;
    out += c;
  }
  // Before the closing quote too.
  out.append(2 * backslashes, '\\');
  out += '"';
  return out;
}

Result<NativeCommand, CommandRefusal> ToNativeCommand(std::string_view command_line) {
  std::vector<std::string> args = SplitWindowsCommandLine(command_line);
  if (args.empty() || args[0].empty())
    return CommandRefusal{{}, "The command line names no program."};
  std::string program = args[0];
  Result<std::vector<std::string>> argv = NativeArguments(std::move(args));
  if (!argv.ok())
    return CommandRefusal{std::move(program), argv.error()};
  return NativeCommand{std::move(program), std::move(argv.value())};
}

}  // namespace nuv::platform
