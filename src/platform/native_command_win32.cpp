// The tool's command lines on Windows: they are Windows command lines
// already; only names on drive D: move to the private folder where there is
// no such drive.
#include "platform/command_line.h"
#include "platform/drive_names.h"
#include "platform/paths.h"
#include "platform/wide_text.h"

namespace nuv::platform {

NativeCommand ToNativeCommand(std::string_view command_line) {
  NativeCommand command;
  std::vector<std::string> args = SplitWindowsCommandLine(command_line);
  if (args.empty() || args[0].empty()) {
    command.error = "The command line names no program.";
    return command;
  }
  // Named before the arguments are mapped, so that a refusal says whose.
  command.program = args.front();
  for (std::string& arg : args) {
    if (IsDriveDName(arg) && &arg != &args.front()) {
      // The tool's command lines name its working files ("D:\tmp\x.gz"),
      // which belong to this process alone.
      NativePath native = ToWorkingPath(arg);
      if (!native.ok) {
        command.error = native.error;
        return command;
      }
      arg = Utf8FromPath(native.path);
    }
  }
  command.argv = std::move(args);
  command.ok = true;
  return command;
}

}  // namespace nuv::platform
