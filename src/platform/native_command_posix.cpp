// The tool's Windows command lines as native argument vectors here.
#include <algorithm>
#include <cctype>

#include "platform/native_arguments.h"
#include "platform/paths.h"

namespace nuv::platform {
namespace {

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

bool EndsWithNoCase(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() && EqualsNoCase(text.substr(text.size() - tail.size()), tail);
}

std::string NativeProgram(std::string_view program) {
  if (EqualsNoCase(program, "gzip.exe"))
    return "gzip";
  if (EqualsNoCase(program, "lzma.exe"))
    return "lzma_alone";
  if (EndsWithNoCase(program, ".exe"))
    program.remove_suffix(4);
  return std::string(program);
}

bool StartsWithDrive(std::string_view arg) {
  return arg.size() >= 3 && std::isalpha(static_cast<unsigned char>(arg[0])) && arg[1] == ':' &&
         arg[2] == '\\';
}

}  // namespace

Result<std::vector<std::string>> NativeArguments(std::vector<std::string> args) {
  std::vector<std::string> argv;
  argv.reserve(args.size());
  argv.push_back(NativeProgram(args[0]));
  for (size_t i = 1; i < args.size(); ++i) {
    std::string& arg = args[i];
    const bool dot_name = arg.size() >= 2 && arg[0] == '.' && arg[1] == '\\';
    if (StartsWithDrive(arg) || dot_name) {
      if (!dot_name && arg[0] != 'D' && arg[0] != 'd')
        return Failure{"The drive of " + arg + " does not exist here."};
      // The tool's command lines name its working files ("D:\tmp\x.gz"),
      // which belong to this process alone.
      const NativePath native = dot_name ? ToNativePath(arg) : ToWorkingPath(arg);
      if (!native.ok())
        return native.failure();
      argv.push_back(native.value().string());
      continue;
    }
    // Only the last backslash is the tool's; the folder before it may hold
    // backslashes of its own.
    if (const size_t last = arg.rfind('\\'); !arg.empty() && arg[0] == '/' && last != arg.npos)
      arg = FileInFolder(std::string_view(arg).substr(0, last),
                         std::string_view(arg).substr(last + 1));
    argv.push_back(std::move(arg));
  }
  return argv;
}

}  // namespace nuv::platform
